#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>

// Signs that a row has passed through a spreadsheet that read its texts as numbers.
namespace kestrana::csv {

// Why a new entry looks damaged, one reason per field, in field order (empty: it does not):
// - a field that is a number in exponent form ("2.01020402752883E+025"): the spreadsheet kept
//   15 digits of a long number;
// - NIP, PESEL or REGON, or a 26-digit account number (NRB), that fails its check but passes with
//   the leading zeros restored: the spreadsheet dropped them;
// - NIP, PESEL or REGON that fails its check otherwise, and an account of 26 digits whose check
//   digits do not match (what a spreadsheet leaves of a long number rounded to 15 digits).
// It only informs: the texts stay as they are.
QStringList spreadsheetDamage(const EntryRecord& record);

// A Polish account number (NRB: 26 digits, blanks allowed, an optional "PL" before it) whose
// check digits match, as IBAN computes them (ISO 7064 mod 97-10).
bool validAccountNumber(const QString& digits);

} // namespace kestrana::csv
