#pragma once

#include <QByteArray>

#include <vector>

namespace kestrana {

// Conditions a filtered list build can hand to a storage that tests records itself (the
// server), so that records which certainly fail them need not travel. Each names stored bytes
// of the 1678-byte record; a short string field is its length byte at `offset`, then at most
// `width` character bytes (see ShortString.h). Every condition must hold. The filter's own test
// still decides each record that arrives: a condition left out only costs transfer.
struct Preselection {
    // The field's stored text holds `bytes` (not empty) somewhere.
    struct Text {
        int offset;
        int width;
        QByteArray bytes;
    };
    // The field's stored text lies between `from` and `to`, both included, compared byte by byte
    // as unsigned characters (a proper prefix is the smaller).
    struct Range {
        int offset;
        int width;
        QByteArray from;
        QByteArray to;
    };
    // The byte at `offset` is `value`.
    struct Byte {
        int offset;
        unsigned char value;
    };

    std::vector<Text> texts;
    std::vector<Range> ranges;
    std::vector<Byte> bytes;

    bool empty() const { return texts.empty() && ranges.empty() && bytes.empty(); }
    // Whether the stored record `record` meets every condition, tested on its bytes (a file
    // register's filter pass leaves out most records this way before any is copied).
    bool admits(const char* record) const;
};

} // namespace kestrana
