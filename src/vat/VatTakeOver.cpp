#include "vat/VatTakeOver.h"

#include "register/PolishIdentifiers.h"

#include <QRegularExpression>

namespace kestrana::vat {

using namespace Qt::StringLiterals;

SeatAddress splitAddress(const QString& address) {
    static const QRegularExpression postalCode(uR"((?<!\d)\d{2}-\d{3}(?!\d))"_s);
    const QString text = address.simplified();
    qsizetype at = -1;
    for (QRegularExpressionMatchIterator it = postalCode.globalMatch(text); it.hasNext();)
        at = it.next().capturedStart();
    if (at < 0)
        return {{}, text};
    QString street = text.left(at).trimmed();
    while (street.endsWith(u',') || street.endsWith(u';'))
        street = street.chopped(1).trimmed();
    return {text.mid(at).trimmed(), street};
}

std::pair<QString, QString> splitName(const QString& name, int lineWidth) {
    const QString text = name.simplified();
    if (text.size() <= lineWidth)
        return {text, {}};
    const qsizetype blank = text.lastIndexOf(u' ', lineWidth);
    if (blank <= 0)
        return {text.left(lineWidth), text.mid(lineWidth).trimmed()};
    return {text.left(blank), text.mid(blank + 1)};
}

Offer offer(const SearchResult& result, const QString& formAccount) {
    const Subject& s = result.subject;
    Offer o;
    const auto add = [&o](Offer::Target target, QString label, QStringList values, int chosen) {
        o.items.append({std::move(label), std::move(values), chosen, true});
        o.targets.append(target);
    };
    add(Offer::Target::Name, u"Nazwa"_s, {s.name}, 0);
    if (!s.address().isEmpty()) {
        const SeatAddress seat = splitAddress(s.address());
        add(Offer::Target::Address, u"Siedziba"_s,
            {u"miejscowość: %1, adres: %2"_s.arg(seat.town, seat.street)}, 0);
    }
    if (!s.regon.isEmpty())
        add(Offer::Target::Regon, u"REGON"_s, {s.regon}, 0);
    if (!s.accountNumbers.isEmpty()) {
        QStringList accounts;
        for (const QString& account : s.accountNumbers)
            accounts.append(groupedAccount(account));
        const QString typed = polishid::digitsOf(polishid::Kind::Nrb, formAccount);
        const int chosen = typed.isEmpty() ? 0 : std::max<int>(0, s.accountNumbers.indexOf(typed));
        add(Offer::Target::Account, u"Konto"_s, accounts, chosen);
    }
    return o;
}

QList<std::pair<Field, QString>> takeOver(const SearchResult& result, const Offer& offer,
                                          const TakeOverAnswer& answer) {
    const Subject& s = result.subject;
    QList<std::pair<Field, QString>> fields;
    for (qsizetype i = 0; i < offer.targets.size() && i < answer.size(); ++i) {
        const int chosen = answer[i];
        if (chosen < 0)
            continue;
        switch (offer.targets[i]) {
        case Offer::Target::Name: {
            const auto [first, second] = splitName(s.name, layoutOf(Field::nazwa1).width);
            fields.append({Field::nazwa1, first});
            if (!second.isEmpty())
                fields.append({Field::nazwa2, second});
            break;
        }
        case Offer::Target::Address: {
            const SeatAddress seat = splitAddress(s.address());
            fields.append({Field::miejscowosc, seat.town});
            fields.append({Field::adres, seat.street});
            break;
        }
        case Offer::Target::Regon:
            fields.append({Field::regon, s.regon});
            break;
        case Offer::Target::Account:
            if (chosen < s.accountNumbers.size())
                fields.append({Field::konto, groupedAccount(s.accountNumbers[chosen])});
            break;
        }
    }
    return fields;
}

QString takeOverCaption() {
    return u"Dane z wykazu podatników VAT"_s;
}

} // namespace kestrana::vat
