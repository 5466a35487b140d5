#include "backup/CopyName.h"

#include <QRegularExpression>

#include <algorithm>
#include <tuple>

namespace kestrana::backup {

QString CopyName::text() const {
    QString name = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (time.isValid())
        name += QLatin1Char('_') + time.toString(QStringLiteral("HHmm"));
    if (part > 1)
        name += QLatin1Char('_') + QString::number(part);
    return name;
}

bool CopyName::operator<(const CopyName& other) const {
    const int minute = time.isValid() ? time.hour() * 60 + time.minute() : -1;
    const int otherMinute =
        other.time.isValid() ? other.time.hour() * 60 + other.time.minute() : -1;
    return std::tie(date, minute, part) < std::tie(other.date, otherMinute, other.part);
}

std::optional<CopyName> parseCopyName(const QString& name) {
    // A part is written only from 2 on and without leading zeros, so every copy has one name.
    static const QRegularExpression pattern(QStringLiteral(
        "^([0-9]{4}-[0-9]{2}-[0-9]{2})(?:_([0-9]{2})([0-9]{2})(?:_([1-9][0-9]{0,5}))?)?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    CopyName copy;
    copy.date = QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd"));
    if (!copy.date.isValid())
        return std::nullopt;
    if (match.hasCaptured(2)) {
        copy.time = QTime(match.captured(2).toInt(), match.captured(3).toInt());
        if (!copy.time.isValid())
            return std::nullopt;
    }
    if (match.hasCaptured(4)) {
        copy.part = match.captured(4).toInt();
        if (copy.part < 2)
            return std::nullopt;
    }
    return copy;
}

bool isCopyName(const QString& name) {
    return parseCopyName(name).has_value();
}

QStringList newestFirst(const QStringList& names) {
    std::vector<CopyName> copies;
    for (const QString& name : names) {
        if (const std::optional<CopyName> copy = parseCopyName(name))
            copies.push_back(*copy);
    }
    std::sort(copies.begin(), copies.end(),
              [](const CopyName& a, const CopyName& b) { return b < a; });
    QStringList sorted;
    for (const CopyName& copy : copies)
        sorted.append(copy.text());
    return sorted;
}

} // namespace kestrana::backup
