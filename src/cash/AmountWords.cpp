#include "cash/AmountWords.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

const std::array<QString, 10> kUnits = {
    u""_s,     u"jeden"_s, u"dwa"_s,    u"trzy"_s,  u"cztery"_s,
    u"pięć"_s, u"sześć"_s, u"siedem"_s, u"osiem"_s, u"dziewięć"_s,
};
const std::array<QString, 10> kTens = {
    u""_s,
    u""_s,
    u"dwadzieścia "_s,
    u"trzydzieści "_s,
    u"czterdzieści "_s,
    u"pięćdziesiąt "_s,
    u"sześćdziesiąt "_s,
    u"siedemdziesiąt "_s,
    u"osiemdziesiąt "_s,
    u"dziewięćdziesiąt "_s,
};
const std::array<QString, 10> kHundreds = {
    u""_s,         u"sto "_s,      u"dwieście "_s,  u"trzysta "_s,  u"czterysta "_s,
    u"pięćset "_s, u"sześćset "_s, u"siedemset "_s, u"osiemset "_s, u"dziewięćset "_s,
};

// Units whose teen drops or changes letters ("jede" + "naście", "pięt" + "naście").
QString teenStem(const QString& units) {
    if (units == u"jeden"_s)
        return u"jede"_s;
    if (units == u"cztery"_s)
        return u"czter"_s;
    if (units == u"pięć"_s)
        return u"pięt"_s;
    if (units == u"sześć"_s)
        return u"szes"_s;
    if (units == u"dziewięć"_s)
        return u"dziewięt"_s;
    return units;
}

// Words of a group of up to three digit characters ("" and "000" give nothing).
QString groupWords(const QString& digits) {
    const qsizetype n = digits.size();
    if (n == 0)
        return {};
    auto digit = [&](qsizetype i) { return digits[i].unicode() - u'0'; };
    QString words = kUnits[digit(n - 1)];
    if (n >= 2) {
        const int tens = digit(n - 2);
        if (tens == 1) {
            if (words.isEmpty())
                words = u"dziesięć"_s;
            words = teenStem(words);
            if (words != u"dziesięć"_s)
                words += u"naście"_s;
        } else if (tens >= 2) {
            words.prepend(kTens[tens]);
        }
    }
    if (n == 3)
        words.prepend(kHundreds[digit(0)]);
    return words;
}

// The digit characters among positions [from, to] (1-based) of the 11-character field.
QString digitsAt(const QString& field, int from, int to) {
    QString digits;
    for (int p = from; p <= to; ++p) {
        const QChar c = field[p - 1];
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return digits;
}

QString withOrder(const QString& words, const QString& one, const QString& many) {
    if (words.isEmpty())
        return {};
    return words + (words == u"jeden"_s ? one : many);
}

} // namespace

QString KwotaSlownie(qint32 amount, const QString& unit) {
    switch (amount) {
    case 10:
        return u"dziesięć "_s + unit;
    case 100:
        return u"sto "_s + unit;
    case 1000:
        return u"tysiąc "_s + unit;
    case 10000:
        return u"dziesięćtysiecy "_s + unit;
    case 100000:
        return u"stotysiecy "_s + unit;
    default:
        break;
    }
    // A 32-bit value takes at most 11 characters with its sign.
    const QString field = QString::number(amount).left(11).rightJustified(11, u' ');
    QString result = withOrder(groupWords(digitsAt(field, 1, 2)), u" miliard "_s, u" miliardów "_s);
    result += withOrder(groupWords(digitsAt(field, 3, 5)), u" milion "_s, u" milionów "_s);
    result += withOrder(groupWords(digitsAt(field, 6, 8)), u" tysiąc "_s, u" tysięcy "_s);
    result += groupWords(digitsAt(field, 9, 11));
    return result + u' ' + unit;
}

bool voucherTotalFits(double total) {
    return std::isfinite(total) && std::trunc(total) <= double(kLargestWordedZloty);
}

std::optional<QString> wordsLine(double total) {
    if (!voucherTotalFits(total))
        return std::nullopt;
    const double whole = std::trunc(total);
    // Rounding to the nearest whole grosz (a half to the even one) absorbs the error of the
    // subtraction: 0.29 gives 29, not 28.
    const double cents = std::nearbyint((total - whole) * 100.0);
    QString zloty;
    if (whole >= 1) {
        const auto z = static_cast<qint32>(whole);
        zloty = KwotaSlownie(z, z == 1 ? u"złoty"_s : z <= 4 ? u"złote"_s : u"złotych"_s);
    }
    QString grosze;
    if (cents >= 1) {
        const auto g = static_cast<qint32>(cents);
        grosze = KwotaSlownie(g, g == 1 ? u"grosz"_s : g <= 4 ? u"grosze"_s : u"groszy"_s);
    }
    return u"Słownie :"_s + zloty + u' ' + grosze;
}

QString totalTooLargeMessage() {
    return u"Kwota dokumentu jest za duża. Dokument można wydrukować na kwotę najwyżej "
           u"2147483647.99 zł."_s;
}

} // namespace kestrana
