#pragma once

#include <QString>

namespace kestrana::polishid {

enum class Kind { Nip, Regon, Pesel, Nrb };

// What the entry form shows beside an identifier while it is typed. It only informs: the text
// stays as typed and nothing stops a save.
struct Verdict {
    enum State { Empty, Valid, Invalid };
    State state = Empty;
    QString reason; // Polish, for the mark's tooltip; empty for an empty field
};

// The digits of a typed identifier without the usual separators (blanks and dashes, and for
// NIP and a bank account a leading "PL"); empty when anything else stands between them.
QString digitsOf(Kind kind, const QString& typed);

// NIP: 10 digits, weights 6 5 7 2 3 4 5 6 7, sum mod 11 is the last digit (10 is never valid).
// REGON: 9 digits, weights 8 9 2 3 4 5 6 7, sum mod 11 with 10 read as 0; or 14 digits, weights
// 2 4 8 5 0 9 7 3 6 1 2 4 8, the same rule, and the first nine a valid REGON. PESEL: 11 digits,
// weights 1 3 7 9 1 3 7 9 1 3, last digit (10 - sum mod 10) mod 10. Bank account (NRB): 26
// digits, the first two the IBAN check digits: the other 24, then "PL" as 2521, then the first
// two, read as one number, leave 1 mod 97. An account of another country, given as an IBAN
// with its two letters, is checked by the same IBAN rule.
Verdict check(Kind kind, const QString& typed);

} // namespace kestrana::polishid
