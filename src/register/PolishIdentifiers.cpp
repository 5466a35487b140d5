#include "register/PolishIdentifiers.h"

#include <array>
#include <span>

namespace kestrana::polishid {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<int, 9> kNipWeights = {6, 5, 7, 2, 3, 4, 5, 6, 7};
constexpr std::array<int, 8> kRegon9Weights = {8, 9, 2, 3, 4, 5, 6, 7};
constexpr std::array<int, 13> kRegon14Weights = {2, 4, 8, 5, 0, 9, 7, 3, 6, 1, 2, 4, 8};
constexpr std::array<int, 10> kPeselWeights = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};

int weightedSum(const QString& digits, std::span<const int> weights) {
    int sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i)
        sum += weights[i] * digits.at(qsizetype(i)).digitValue();
    return sum;
}

int lastDigit(const QString& digits) {
    return digits.back().digitValue();
}

bool regonSumMatches(const QString& digits, std::span<const int> weights) {
    const int rest = weightedSum(digits, weights) % 11;
    return (rest == 10 ? 0 : rest) == lastDigit(digits);
}

QString name(Kind kind) {
    switch (kind) {
    case Kind::Nip:
        return u"NIP"_s;
    case Kind::Regon:
        return u"REGON"_s;
    case Kind::Pesel:
        return u"PESEL"_s;
    case Kind::Nrb:
        return u"konta"_s;
    }
    return {};
}

Verdict valid(Kind kind) {
    return {Verdict::Valid, u"Poprawny numer %1"_s.arg(name(kind))};
}

Verdict invalid(const QString& reason) {
    return {Verdict::Invalid, reason};
}

const QString kWrongCheckDigit = u"Błędna cyfra kontrolna"_s;

bool isAsciiLetter(QChar ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

bool isSeparator(QChar ch) {
    return ch == u' ' || ch == u'-' || ch == QChar(0x2013) || ch == QChar::Nbsp;
}

// The remainder mod 97 of the number an IBAN rule reads from `text`: digits as they are,
// letters as 10 to 35.
int ibanRemainder(const QString& text) {
    int rest = 0;
    for (const QChar ch : text) {
        const int value = ch.isDigit() ? ch.digitValue() : ch.toUpper().unicode() - u'A' + 10;
        rest = (rest * (value >= 10 ? 100 : 10) + value) % 97;
    }
    return rest;
}

// An account of another country: two letters, two check digits, up to 30 letters and digits.
Verdict checkForeignIban(const QString& text) {
    QString compact;
    for (const QChar ch : text) {
        if (ch.isDigit() || isAsciiLetter(ch))
            compact.append(ch.toUpper());
        else if (!isSeparator(ch))
            return invalid(u"Dozwolone są tylko litery, cyfry, odstępy i kreski"_s);
    }
    if (compact.size() < 15 || compact.size() > 34)
        return invalid(u"IBAN ma od 15 do 34 znaków, wpisano %1"_s.arg(compact.size()));
    if (!compact[2].isDigit() || !compact[3].isDigit())
        return invalid(kWrongCheckDigit);
    return ibanRemainder(compact.mid(4) + compact.left(4)) == 1
               ? Verdict{Verdict::Valid, u"Poprawny numer rachunku IBAN"_s}
               : invalid(kWrongCheckDigit);
}

} // namespace

QString digitsOf(Kind kind, const QString& typed) {
    QString text = typed.trimmed();
    if ((kind == Kind::Nip || kind == Kind::Nrb) && text.startsWith(u"PL"_s, Qt::CaseInsensitive))
        text = text.mid(2);
    QString digits;
    for (const QChar ch : std::as_const(text)) {
        if (ch >= u'0' && ch <= u'9')
            digits.append(ch);
        else if (!isSeparator(ch))
            return {};
    }
    return digits;
}

Verdict check(Kind kind, const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    if (kind == Kind::Nrb && text.size() >= 2 && isAsciiLetter(text[0]) && isAsciiLetter(text[1]) &&
        !text.startsWith(u"PL"_s, Qt::CaseInsensitive))
        return checkForeignIban(text);
    const QString digits = digitsOf(kind, typed);
    if (digits.isEmpty())
        return invalid(u"Dozwolone są tylko cyfry, odstępy i kreski"_s);
    switch (kind) {
    case Kind::Nip: {
        if (digits.size() != 10)
            return invalid(u"NIP ma 10 cyfr, wpisano %1"_s.arg(digits.size()));
        const int rest = weightedSum(digits, kNipWeights) % 11;
        return rest == lastDigit(digits) ? valid(kind) : invalid(kWrongCheckDigit);
    }
    case Kind::Regon:
        if (digits.size() == 9)
            return regonSumMatches(digits, kRegon9Weights) ? valid(kind)
                                                           : invalid(kWrongCheckDigit);
        if (digits.size() == 14) {
            if (!regonSumMatches(digits.left(9), kRegon9Weights))
                return invalid(u"Błędna cyfra kontrolna pierwszych dziewięciu cyfr"_s);
            return regonSumMatches(digits, kRegon14Weights) ? valid(kind)
                                                            : invalid(kWrongCheckDigit);
        }
        return invalid(u"REGON ma 9 albo 14 cyfr, wpisano %1"_s.arg(digits.size()));
    case Kind::Pesel: {
        if (digits.size() != 11)
            return invalid(u"PESEL ma 11 cyfr, wpisano %1"_s.arg(digits.size()));
        const int check = (10 - weightedSum(digits, kPeselWeights) % 10) % 10;
        return check == lastDigit(digits) ? valid(kind) : invalid(kWrongCheckDigit);
    }
    case Kind::Nrb:
        if (digits.size() != 26)
            return invalid(u"Numer konta ma 26 cyfr, wpisano %1"_s.arg(digits.size()));
        // The IBAN rule with the country letters of Poland, P = 25 and L = 21.
        return ibanRemainder(digits.mid(2) + u"2521"_s + digits.left(2)) == 1
                   ? valid(kind)
                   : invalid(kWrongCheckDigit);
    }
    return {};
}

} // namespace kestrana::polishid
