#include "support/StationLog.h"

#include <QProcess>

namespace kestrana::test {

void StationLog::read(QProcess& station) {
    const QStringList lines =
        QString::fromUtf8(station.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList w = line.split(' ');
        if (w[0] == QLatin1String("added")) {
            givenTwice = givenTwice || added.contains(w[1]);
            added[w[1]] = w[2];
        } else if (w[0] == QLatin1String("edited")) {
            lastEdit[w[1]] = w.mid(2).join(' ');
        } else if (w[0] == QLatin1String("deleted")) {
            deleted.insert(w[1]);
        }
    }
}

QString StationLog::check(const std::vector<EntryRecord>& entries,
                          const std::function<bool(const EntryRecord&)>& others) const {
    if (givenTwice)
        return QStringLiteral("an ID was given to two new entries");
    QSet<QString> seen;
    int fromStations = 0;
    for (const EntryRecord& r : entries) {
        const QString id = r.text(Field::id);
        if (seen.contains(id))
            return QStringLiteral("ID %1 is stored twice").arg(id);
        seen.insert(id);
        if (id == QLatin1String("1") || (others && others(r)))
            continue; // the entry a new main file starts with, or one from elsewhere
        ++fromStations;
        if (!added.contains(id))
            return QStringLiteral("entry %1 was added by nobody").arg(id);
        if (deleted.contains(id))
            return QStringLiteral("deleted entry %1 is still there").arg(id);
        if (r.text(Field::nazwa1) != added[id])
            return QStringLiteral("entry %1 is named %2").arg(id, r.text(Field::nazwa1));
        const QString owner = added[id].section('-', 0, 0);
        if (!r.text(Field::nazwa2).startsWith(owner + ' '))
            return QStringLiteral("entry %1 carries another station's edit").arg(id);
        if (lastEdit.contains(id) && r.text(Field::nazwa2) != lastEdit[id])
            return QStringLiteral("entry %1 lost its last edit").arg(id);
    }
    if (fromStations != added.size() - deleted.size())
        return QStringLiteral("%1 entries of the stations stored, %2 expected")
            .arg(fromStations)
            .arg(added.size() - deleted.size());
    return {};
}

} // namespace kestrana::test
