#include "register/DataFolderCheck.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "register/CategoryNames.h"
#include "register/EntryRecord.h"
#include "station/SmallRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace kestrana {

namespace {

class Checker {
public:
    Checker(const Workstation& ws, const QDateTime& now, const QList<RecordFiles>& others)
        : ws_(ws), now_(now), others_(others) {}

    QList<CheckFinding> run();

private:
    void damage(const QString& text) { findings_.append({true, text}); }
    void notice(const QString& text) { findings_.append({false, text}); }
    QString shown(const QString& path) const { return QDir::toNativeSeparators(path); }

    // A file of fixed-size records; returns its size, or -1 when it does not exist.
    qint64 recordFile(const QString& path, int recordSize, bool exactlyOne);
    void entryFile(const QString& path, bool isMain);
    void counter();
    void locks();
    void descriptions();
    void filesIn(const QString& dir, const QString& suffix, int size);
    void leftovers();

    const Workstation& ws_;
    QDateTime now_;
    const QList<RecordFiles>& others_;
    QList<CheckFinding> findings_;
    QSet<QString> ids_;
    qint64 largestId_ = 0;
};

qint64 Checker::recordFile(const QString& path, int recordSize, bool exactlyOne) {
    if (!files::exists(path))
        return -1;
    const qint64 size = files::size(path);
    if (exactlyOne && size != recordSize)
        damage(QStringLiteral("%1: ma %2 B, a powinien mieć dokładnie %3 B.")
                   .arg(shown(path))
                   .arg(size)
                   .arg(recordSize));
    else if (!exactlyOne && size % recordSize != 0)
        damage(QStringLiteral("%1: rozmiar %2 B nie jest wielokrotnością rekordu (%3 B); "
                              "ostatnie %4 B to niepełny rekord.")
                   .arg(shown(path))
                   .arg(size)
                   .arg(recordSize)
                   .arg(size % recordSize));
    return size;
}

void Checker::entryFile(const QString& path, bool isMain) {
    if (recordFile(path, EntryRecord::Size, false) < 0) {
        if (isMain)
            damage(QStringLiteral("%1: brak pliku głównego.").arg(shown(path)));
        return;
    }
    files::RecordReader reader(path, EntryRecord::Size);
    QHash<QString, qint64> seen;
    while (const char* data = reader.next()) {
        const qint64 number = reader.recordsRead();
        for (const FieldLayout& field : fieldLayouts()) {
            const int length = static_cast<unsigned char>(data[field.offset]);
            if (length > field.width)
                damage(QStringLiteral("%1, wpis nr %2: pole %3 ma bajt długości %4, a mieści %5 "
                                      "znaków.")
                           .arg(shown(path))
                           .arg(number)
                           .arg(QLatin1String(field.name))
                           .arg(length)
                           .arg(field.width));
        }
        if (!isMain)
            continue;
        const QString id = EntryRecord::fromBytes(data).text(Field::id);
        if (!isPlainId(id)) {
            damage(QStringLiteral("%1, wpis nr %2: numer ID „%3” nie składa się z samych cyfr.")
                       .arg(shown(path))
                       .arg(number)
                       .arg(id));
            continue;
        }
        if (seen.contains(id))
            damage(QStringLiteral("%1: numer ID %2 występuje dwa razy (wpisy nr %3 i %4).")
                       .arg(shown(path), id)
                       .arg(seen.value(id))
                       .arg(number));
        seen.insert(id, number);
        ids_.insert(id);
        largestId_ = std::max(largestId_, id.toLongLong());
    }
    reader.close();
    if (isMain && reader.recordsRead() == 0)
        damage(QStringLiteral("%1: plik główny nie zawiera ani jednego wpisu (program zakłada go "
                              "zawsze z jednym wpisem, a usuwanie nigdy nie kasuje ostatniego).")
                   .arg(shown(path)));
}

void Checker::counter() {
    const QString path = ws_.idFile();
    if (recordFile(path, 4, true) != 4)
        return;
    const qint32 next = int32FromBytes(files::readFile(path));
    if (next <= largestId_)
        damage(QStringLiteral("%1: licznik ID wynosi %2, a największy używany numer ID to %3; "
                              "następny nowy wpis dostałby numer już zajęty.")
                   .arg(shown(path))
                   .arg(next)
                   .arg(largestId_));
}

void Checker::locks() {
    const QString dir = ws_.dataPath(QStringLiteral("KOSZ"));
    const QFileInfoList entries = QDir(dir).entryInfoList({QStringLiteral("*.p")}, QDir::Files);
    for (const QFileInfo& lock : entries) {
        if (lock.size() != 4)
            damage(QStringLiteral("%1: plik blokady ma %2 B zamiast 4 B.")
                       .arg(shown(lock.filePath()))
                       .arg(lock.size()));
        const qint64 minutes = lock.lastModified().secsTo(now_) / 60;
        notice(QStringLiteral("%1: wpis %2 jest zablokowany od %3 min (jeśli żaden program go nie "
                              "pokazuje, zwolnij go: kestrana-cli unlock %2).")
                   .arg(shown(lock.filePath()), lock.completeBaseName())
                   .arg(minutes));
    }
}

void Checker::descriptions() {
    const QString dir = ws_.dataPath(QStringLiteral("OPISY"));
    const QString prefix = ws_.descriptionPrefix + QLatin1Char('_');
    const QStringList names = QDir(dir).entryList(QDir::Files);
    for (const QString& name : names) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive) ||
            !name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
            continue;
        const QString id = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        if (!ids_.contains(id))
            notice(QStringLiteral("%1: opis bez wpisu (numer ID %2 nie występuje w pliku "
                                  "głównym).")
                       .arg(shown(dir + QLatin1Char('/') + name), id));
    }
}

void Checker::filesIn(const QString& dir, const QString& suffix, int size) {
    const QFileInfoList entries =
        QDir(dir).entryInfoList({QStringLiteral("*") + suffix}, QDir::Files);
    for (const QFileInfo& file : entries)
        recordFile(file.filePath(), size, true);
}

// A program killed while it replaced a file leaves its temporary copy; the file itself is whole.
void Checker::leftovers() {
    for (const char* name : {"DANE", "ADMINI", "KOSZ", "DOKUMENTY", "Koperty"}) {
        const QString dir = ws_.dataPath(QLatin1String(name));
        const QFileInfoList entries =
            QDir(dir).entryInfoList({QStringLiteral("*.tmp.*")}, QDir::Files);
        for (const QFileInfo& file : entries)
            notice(QStringLiteral("%1: pozostałość przerwanego zapisu (%2 B); plik właściwy jest "
                                  "cały, tę kopię można usunąć.")
                       .arg(shown(file.filePath()))
                       .arg(file.size()));
    }
}

QList<CheckFinding> Checker::run() {
    entryFile(ws_.mainFile(), true);
    entryFile(ws_.listFile(), false);
    entryFile(ws_.scratchFile(), false);
    for (const char* name : {"KOSZ/wpis_ks.dat", "KOSZ/wpis.dat"})
        recordFile(ws_.dataPath(QLatin1String(name)), EntryRecord::Size, true);
    counter();
    recordFile(ws_.firmaFile(), CompanyRecord::Size, true);
    recordFile(ws_.localPath(QStringLiteral("Admini/siec.dat")), StorageRecord::Size, true);
    recordFile(ws_.categoriesFile(), CategoryNames::Size, true);
    for (const RecordFiles& other : others_) {
        if (other.suffix.isEmpty())
            recordFile(other.path, other.recordSize, true);
        else
            filesIn(other.path, other.suffix, other.recordSize);
    }
    locks();
    descriptions();
    leftovers();
    return findings_;
}

} // namespace

QList<CheckFinding> checkDataFolder(const Workstation& ws, const QDateTime& now,
                                    const QList<RecordFiles>& others) {
    return Checker(ws, now, others).run();
}

} // namespace kestrana
