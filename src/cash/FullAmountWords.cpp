#include "cash/FullAmountWords.h"

#include "cash/AmountWords.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

const std::array<QString, 20> kBelowTwenty = {
    u""_s,           u"jeden"_s,      u"dwa"_s,          u"trzy"_s,        u"cztery"_s,
    u"pięć"_s,       u"sześć"_s,      u"siedem"_s,       u"osiem"_s,       u"dziewięć"_s,
    u"dziesięć"_s,   u"jedenaście"_s, u"dwanaście"_s,    u"trzynaście"_s,  u"czternaście"_s,
    u"piętnaście"_s, u"szesnaście"_s, u"siedemnaście"_s, u"osiemnaście"_s, u"dziewiętnaście"_s,
};
const std::array<QString, 10> kTens = {
    u""_s,
    u""_s,
    u"dwadzieścia"_s,
    u"trzydzieści"_s,
    u"czterdzieści"_s,
    u"pięćdziesiąt"_s,
    u"sześćdziesiąt"_s,
    u"siedemdziesiąt"_s,
    u"osiemdziesiąt"_s,
    u"dziewięćdziesiąt"_s,
};
const std::array<QString, 10> kHundreds = {
    u""_s,        u"sto"_s,      u"dwieście"_s,  u"trzysta"_s,  u"czterysta"_s,
    u"pięćset"_s, u"sześćset"_s, u"siedemset"_s, u"osiemset"_s, u"dziewięćset"_s,
};

struct Order {
    qint64 size;
    QString one, few, many;
};
const std::array<Order, 3> kOrders = {{
    {1'000'000'000, u"miliard"_s, u"miliardy"_s, u"miliardów"_s},
    {1'000'000, u"milion"_s, u"miliony"_s, u"milionów"_s},
    {1'000, u"tysiąc"_s, u"tysiące"_s, u"tysięcy"_s},
}};

// The words of 1 to 999.
void appendGroup(QStringList& words, int group) {
    if (group >= 100)
        words.append(kHundreds[group / 100]);
    const int rest = group % 100;
    if (rest >= 20) {
        words.append(kTens[rest / 10]);
        if (rest % 10 != 0)
            words.append(kBelowTwenty[rest % 10]);
    } else if (rest > 0) {
        words.append(kBelowTwenty[rest]);
    }
}

} // namespace

QString countedForm(qint64 count, const QString& one, const QString& few, const QString& many) {
    if (count == 1)
        return one;
    const qint64 last = count % 10;
    const qint64 lastTwo = count % 100;
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        return few;
    return many;
}

QString fullAmountWords(qint64 amount) {
    if (amount == 0)
        return u"zero"_s;
    QStringList words;
    qint64 rest = amount;
    for (const Order& order : kOrders) {
        const qint64 group = rest / order.size;
        rest %= order.size;
        if (group == 0)
            continue;
        appendGroup(words, static_cast<int>(group));
        words.append(countedForm(group, order.one, order.few, order.many));
    }
    appendGroup(words, static_cast<int>(rest));
    return words.join(u' ');
}

bool fullWordsFit(double total) {
    return std::isfinite(total) && std::trunc(std::fabs(total)) <= double(kLargestWordedZloty);
}

std::optional<QString> fullWordsLine(double total) {
    if (!fullWordsFit(total))
        return std::nullopt;
    // A voucher's total is read back from its figures, so it holds whole grosze: the rounding
    // only absorbs the binary error (0.29 is 29 grosze, not 28).
    const qint64 cents = std::llrint(std::fabs(total) * 100.0);
    const qint64 zloty = cents / 100;
    const qint64 grosze = cents % 100;
    QString line = u"Słownie: "_s;
    if (total < 0 && cents > 0)
        line += u"minus "_s;
    line +=
        fullAmountWords(zloty) + u' ' + countedForm(zloty, u"złoty"_s, u"złote"_s, u"złotych"_s);
    if (grosze > 0)
        line += u' ' + fullAmountWords(grosze) + u' ' +
                countedForm(grosze, u"grosz"_s, u"grosze"_s, u"groszy"_s);
    return line;
}

} // namespace kestrana
