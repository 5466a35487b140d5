#include "register/DataFolderCheck.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/PosixFile.h"
#include "register/CategoryNames.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "register/RestoreJournal.h"
#include "station/SmallRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

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

    // What stands where a plain file belongs, links not followed: true for a plain file, false
    // when nothing is there; a link, a folder or anything else is reported as damage.
    bool plainFile(const QString& path, struct stat& info);
    // A file of fixed-size records; returns its size, or -1 when it is missing or not a plain
    // file.
    qint64 recordFile(const QString& path, int recordSize, bool exactlyOne);
    void companionLocks();
    void entryFile(const QString& path, bool isMain);
    void counter();
    void locks();
    void descriptions();
    void filesIn(const QString& dir, const QString& suffix, int size);
    void leftovers();
    void backupLeftovers();

    const Workstation& ws_;
    QDateTime now_;
    const QList<RecordFiles>& others_;
    QList<CheckFinding> findings_;
    QSet<QString> ids_;
    qint64 largestId_ = 0;
};

bool Checker::plainFile(const QString& path, struct stat& info) {
    if (::lstat(files::posix::native(path).constData(), &info) != 0)
        return false;
    if (S_ISREG(info.st_mode))
        return true;
    if (S_ISLNK(info.st_mode)) {
        QByteArray target(4096, '\0');
        const ssize_t n = ::readlink(files::posix::native(path).constData(), target.data(),
                                     static_cast<size_t>(target.size()));
        target.resize(std::max<ssize_t>(n, 0));
        damage(QStringLiteral("%1: dowiązanie symboliczne (do %2) w miejscu pliku; program go "
                              "nie czyta ani nie zapisuje. Usuń je albo zastąp zwykłym plikiem.")
                   .arg(shown(path), QFile::decodeName(target)));
    } else if (S_ISDIR(info.st_mode)) {
        damage(QStringLiteral("%1: katalog w miejscu pliku; usuń go.").arg(shown(path)));
    } else {
        damage(QStringLiteral("%1: w miejscu pliku jest potok, urządzenie lub gniazdo; usuń je.")
                   .arg(shown(path)));
    }
    return false;
}

qint64 Checker::recordFile(const QString& path, int recordSize, bool exactlyOne) {
    struct stat info {};
    if (!plainFile(path, info))
        return -1;
    const qint64 size = info.st_size;
    if (exactlyOne && size == 0)
        damage(QStringLiteral("%1: plik jest pusty, a powinien mieć %2 B.")
                   .arg(shown(path))
                   .arg(recordSize));
    else if (exactlyOne && size != recordSize)
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
        if (isMain && !files::exists(path))
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
    if (!files::exists(path)) {
        damage(QStringLiteral("%1: brak licznika ID. Uruchom program: założy go z wartością %2, "
                              "następną po największym numerze ID w pliku głównym.")
                   .arg(shown(path))
                   .arg(largestId_ + 1 < 2 ? 2 : largestId_ + 1));
        return;
    }
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
    if (!files::isDirectory(dir))
        return;
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        if (!entry.name.endsWith(QLatin1String(".p")))
            continue;
        const QString path = dir + QLatin1Char('/') + entry.name;
        const QString id = entry.name.chopped(2);
        struct stat info {};
        if (!plainFile(path, info))
            continue;
        if (info.st_size == 0)
            damage(QStringLiteral("%1: pusty plik blokady (zapis przerwany, np. na pełnym dysku): "
                                  "wpis %2 jest odmawiany wszystkim; zwolnij go: kestrana-cli "
                                  "unlock %2.")
                       .arg(shown(path), id));
        else if (info.st_size != 4)
            damage(QStringLiteral("%1: plik blokady ma %2 B zamiast 4 B.")
                       .arg(shown(path))
                       .arg(info.st_size));
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec);
        const qint64 minutes = modified.secsTo(now_) / 60;
        notice(QStringLiteral("%1: wpis %2 jest zablokowany od %3 min (jeśli żaden program go nie "
                              "pokazuje, zwolnij go: kestrana-cli unlock %2).")
                   .arg(shown(path), id)
                   .arg(minutes));
    }
}

// The companions the record locks are taken on: empty by nature, but never a link or a folder.
void Checker::companionLocks() {
    QStringList paths = {lockPathFor(ws_.mainFile()), lockPathFor(ws_.idFile())};
    for (const RecordFiles& other : others_) {
        if (!other.lock.isEmpty())
            paths << other.lock;
    }
    for (const QString& path : std::as_const(paths)) {
        struct stat info {};
        plainFile(path, info);
    }
}

void Checker::descriptions() {
    const QString dir = ws_.dataPath(QStringLiteral("OPISY"));
    if (!files::isDirectory(dir))
        return;
    const QString prefix = ws_.descriptionPrefix + QLatin1Char('_');
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        const QString& name = entry.name;
        if (!name.startsWith(prefix, Qt::CaseInsensitive) ||
            !name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
            continue;
        struct stat info {};
        if (!plainFile(dir + QLatin1Char('/') + name, info))
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
    for (const char* name : {"DANE", "ADMINI", "KOSZ", "OPISY", "DOKUMENTY", "Koperty"}) {
        const QString dir = ws_.dataPath(QLatin1String(name));
        if (!files::isDirectory(dir))
            continue;
        for (const files::FolderEntry& entry : files::listFolder(dir)) {
            if (!files::isTemporaryName(entry.name))
                continue;
            notice(QStringLiteral("%1: pozostałość przerwanego zapisu (%2 B); plik właściwy jest "
                                  "cały, tę kopię można usunąć.")
                       .arg(shown(dir + QLatin1Char('/') + entry.name))
                       .arg(entry.info.st_size));
        }
    }
}

namespace {

qint64 sizeBelow(const QString& dir) {
    qint64 total = 0;
    for (const files::FolderEntry& entry : files::listFolder(dir))
        total += entry.isDirectory() ? sizeBelow(dir + QLatin1Char('/') + entry.name)
                                     : static_cast<qint64>(entry.info.st_size);
    return total;
}

} // namespace

// What an interrupted backup or restore leaves in KOPIE.
void Checker::backupLeftovers() {
    const QString dir = ws_.dataPath(QStringLiteral("KOPIE"));
    if (!files::isDirectory(dir))
        return;
    const bool journal = files::exists(restoring::journalPath(ws_));
    if (journal)
        damage(QStringLiteral("%1: przywracanie kopii zapasowej zostało przerwane i nie jest "
                              "dokończone. Uruchom program albo dowolne polecenie kestrana-cli "
                              "na tym folderze: dokończy je; nie usuwaj plików z KOPIE.")
                   .arg(shown(restoring::journalPath(ws_))));
    static const QRegularExpression staging(QStringLiteral("^[0-9_-]+\\.(tmp|old)\\.[0-9]+$"));
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        if (!entry.isDirectory() || !staging.match(entry.name).hasMatch())
            continue;
        const QString path = dir + QLatin1Char('/') + entry.name;
        notice(journal ? QStringLiteral("%1: pliki przerwanego przywracania (%2 B), potrzebne do "
                                        "jego dokończenia.")
                             .arg(shown(path))
                             .arg(sizeBelow(path))
                       : QStringLiteral("%1: pozostałość przerwanej kopii zapasowej lub "
                                        "przywracania (%2 B); rejestr jest cały, następna kopia "
                                        "zapasowa ją usunie (albo usuń ją sam).")
                             .arg(shown(path))
                             .arg(sizeBelow(path)));
    }
}

QList<CheckFinding> Checker::run() {
    // In server mode the register's own files are not in the folder.
    const bool registerHere = !ws_.server;
    if (registerHere)
        entryFile(ws_.mainFile(), true);
    entryFile(ws_.listFile(), false);
    entryFile(ws_.scratchFile(), false);
    for (const char* name : {"KOSZ/wpis_ks.dat", "KOSZ/wpis.dat"})
        recordFile(ws_.dataPath(QLatin1String(name)), EntryRecord::Size, true);
    if (registerHere) {
        counter();
        if (!files::exists(ws_.firmaFile()))
            damage(QStringLiteral("%1: brak danych firmy; dowody KP/KW i koperty nie mają danych "
                                  "wystawcy. Przywróć plik z kopii zapasowej albo wpisz dane w "
                                  "„Dane firmy” (program założy pusty plik przy starcie).")
                       .arg(shown(ws_.firmaFile())));
        else
            recordFile(ws_.firmaFile(), CompanyRecord::Size, true);
    }
    recordFile(ws_.localPath(QStringLiteral("Admini/siec.dat")), StorageRecord::Size, true);
    if (registerHere)
        recordFile(ws_.categoriesFile(), CategoryNames::Size, true);
    for (const RecordFiles& other : others_) {
        if (other.path.isEmpty())
            continue;
        if (other.suffix.isEmpty())
            recordFile(other.path, other.recordSize, true);
        else
            filesIn(other.path, other.suffix, other.recordSize);
    }
    locks();
    companionLocks();
    if (registerHere)
        descriptions();
    leftovers();
    backupLeftovers();
    return findings_;
}

} // namespace

QList<CheckFinding> checkDataFolder(const Workstation& ws, const QDateTime& now,
                                    const QList<RecordFiles>& others) {
    return Checker(ws, now, others).run();
}

} // namespace kestrana
