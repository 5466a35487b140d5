#!/usr/bin/env python3
"""Writes the entries of a main file as TSV (id, numer, data, nazwa1, nazwa2, k3) for sqlite3."""
import sys

SIZE = 1678


def field(rec, offset, width):
    length = min(rec[offset], width)
    return rec[offset + 1:offset + 1 + length].decode("cp1250", "replace").replace("\t", " ")


with open(sys.argv[1], "rb") as main, open(sys.argv[2], "w", encoding="utf-8") as out:
    while True:
        rec = main.read(SIZE)
        if len(rec) < SIZE:
            break
        out.write("\t".join([field(rec, 0, 10), field(rec, 11, 20), field(rec, 32, 10),
                             field(rec, 43, 60), field(rec, 104, 60),
                             "1" if rec[1018 + 2] == 1 else "0"]) + "\n")
