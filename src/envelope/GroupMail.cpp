#include "envelope/GroupMail.h"

#include "platform/CheckedFile.h"

#include <QRegularExpression>

namespace kestrana::groupmail {

namespace {

bool isAsciiLetterOrDigit(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

bool localPartFits(QStringView local) {
    static const QString allowed = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    if (local.isEmpty() || local.size() > 64 || local.startsWith(QLatin1Char('.')) ||
        local.endsWith(QLatin1Char('.')) || local.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : local) {
        if (!isAsciiLetterOrDigit(c) && c != QLatin1Char('.') && !allowed.contains(c))
            return false;
    }
    return true;
}

bool domainFits(QStringView domain) {
    if (domain.isEmpty() || domain.size() > 253)
        return false;
    const QList<QStringView> labels = domain.split(QLatin1Char('.'));
    if (labels.size() < 2)
        return false;
    for (const QStringView label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
            label.endsWith(QLatin1Char('-')))
            return false;
        for (const QChar c : label) {
            if (!c.isLetterOrNumber() && c != QLatin1Char('-'))
                return false;
        }
    }
    const QStringView top = labels.last();
    return top.size() >= 2 && std::all_of(top.begin(), top.end(), [](QChar c) {
               return c.isLetter() || c == QLatin1Char('-');
           });
}

} // namespace

QStringList splitAddresses(const QString& field) {
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    return field.split(separators, Qt::SkipEmptyParts);
}

Problem checkAddress(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    if (at <= 0 || at != address.lastIndexOf(QLatin1Char('@')))
        return Problem::NotAnAddress;
    const QStringView local = QStringView(address).left(at);
    if (std::any_of(local.begin(), local.end(),
                    [](QChar c) { return c.unicode() >= 0x80 && c.isLetter(); }))
        return Problem::PolishLetters;
    if (!localPartFits(local) || !domainFits(QStringView(address).mid(at + 1)))
        return Problem::NotAnAddress;
    return Problem::None;
}

QString refusalText(const Refused& refused) {
    const QString why = refused.problem == Problem::PolishLetters
                            ? QStringLiteral("ma polskie litery przed znakiem @")
                            : QStringLiteral("nie wygląda na adres e-mail");
    return QStringLiteral("ID %1 (%2): „%3” %4")
        .arg(refused.id, refused.name, refused.address, why);
}

void Collector::add(const EntryRecord& entry) {
    ++entries_;
    bool any = false;
    for (const QString& address : splitAddresses(entry.text(Field::mail))) {
        if (const Problem problem = checkAddress(address); problem != Problem::None) {
            refused_.push_back(
                {entry.text(Field::id), entry.text(Field::nazwa1).trimmed(), address, problem});
            continue;
        }
        any = true;
        const QString folded = address.toLower();
        if (seen_.contains(folded))
            continue;
        seen_.insert(folded);
        addresses_.append(address);
    }
    if (!any)
        ++withoutAddress_;
}

QString Collector::summary() const {
    return QStringLiteral("Adresów: %1 (wpisów: %2, bez adresu: %3, odrzuconych adresów: %4).")
        .arg(addresses_.size())
        .arg(entries_)
        .arg(withoutAddress_)
        .arg(refused_.size());
}

Collector collectFromListFile(const files::RecordSource& listFile) {
    Collector collector;
    files::RecordReader list(listFile, EntryRecord::Size);
    while (const char* bytes = list.next())
        collector.add(EntryRecord::fromBytes(bytes));
    return collector;
}

QList<QStringList> groups(const QStringList& addresses, int size) {
    size = std::max(size, 1);
    QList<QStringList> result;
    for (qsizetype i = 0; i < addresses.size(); i += size)
        result.append(addresses.mid(i, size));
    return result;
}

QByteArray mailtoBcc(const QStringList& addresses) {
    QByteArray url = "mailto:?bcc=";
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        if (i > 0)
            url += ',';
        url += addresses[i].toUtf8().toPercentEncoding("", "");
    }
    return url;
}

QString clipboardText(const QStringList& addresses) {
    return addresses.join(QStringLiteral(", "));
}

QByteArray fileText(const QStringList& addresses) {
    QByteArray text;
    for (const QString& address : addresses)
        text += address.toUtf8() + '\n';
    return text;
}

} // namespace kestrana::groupmail
