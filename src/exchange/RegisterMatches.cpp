#include "exchange/RegisterMatches.h"

#include "exchange/CsvImport.h"
#include "register/EntryStore.h"
#include "register/PolishIdentifiers.h"

#include <QHash>

namespace kestrana::csv {

namespace {

QString nipKey(const EntryRecord& record) {
    return polishid::digitsOf(polishid::Kind::Nip, record.text(Field::nip));
}

QString nameTownKey(const EntryRecord& record) {
    const QString name = record.text(Field::nazwa1).simplified().toCaseFolded();
    if (name.isEmpty())
        return {};
    return name + QChar(0x1F) + record.text(Field::miejscowosc).simplified().toCaseFolded();
}

using Index = QHash<QString, QList<int>>;

void index(Index& keys, const QString& key, int candidate) {
    if (!key.isEmpty())
        keys[key].append(candidate);
}

QList<int> lookUp(const Index& keys, const QString& key) {
    return key.isEmpty() ? QList<int>() : keys.value(key);
}

} // namespace

std::vector<QStringList> findMatches(EntryStore& store,
                                     const std::vector<const EntryRecord*>& candidates, int shown) {
    Index byNip;
    Index byNameTown;
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        index(byNip, nipKey(*candidates[i]), i);
        index(byNameTown, nameTownKey(*candidates[i]), i);
    }
    std::vector<QStringList> matches(candidates.size());
    std::vector<int> more(candidates.size(), 0);
    store.scan([&](qint64, const char* bytes) {
        const EntryRecord record = EntryRecord::fromBytes(bytes);
        const QList<int> sameNip = lookUp(byNip, nipKey(record));
        const QList<int> sameName = lookUp(byNameTown, nameTownKey(record));
        if (sameNip.isEmpty() && sameName.isEmpty())
            return;
        QList<int> all = sameNip;
        for (const int i : sameName) {
            if (!all.contains(i))
                all.append(i);
        }
        for (const int i : all) {
            if (matches[i].size() >= shown) {
                ++more[i];
                continue;
            }
            const bool nip = sameNip.contains(i);
            const bool name = sameName.contains(i);
            const QString what = nip && name ? QStringLiteral("ten sam NIP, nazwa i miejscowość")
                                 : nip       ? QStringLiteral("ten sam NIP")
                                             : QStringLiteral("ta sama nazwa i miejscowość");
            matches[i] << QStringLiteral("wpis ID %1 „%2” (%3)")
                              .arg(record.text(Field::id), record.text(Field::nazwa1), what);
        }
    });
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (more[i] > 0)
            matches[i] << QStringLiteral("i %1").arg(entryCount(more[i])) +
                              QStringLiteral(" więcej");
    }
    return matches;
}

} // namespace kestrana::csv
