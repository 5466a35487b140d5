#include "register/RestoreJournal.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "register/FileLock.h"
#include "station/SmallRecords.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::restoring {

namespace {

using files::posix::fail;
using files::posix::native;

const QString opRestore = QStringLiteral("Przywrócenie kopii zapasowej");
const QString opRename = QStringLiteral("Zmiana nazwy pliku");
const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QByteArray kFirstLine = "kestrana-przywracanie 1";
const QByteArray kLastLine = "koniec";

QString backupsFolder(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("KOPIE"));
}

QString at(const QString& dir, const QString& relative) {
    return dir + QLatin1Char('/') + relative;
}

QString stagedFolder(const Workstation& ws, const Journal& journal, const QString& folder) {
    return at(at(backupsFolder(ws), journal.work), folder);
}

QString asideFolder(const Workstation& ws, const Journal& journal, const QString& folder) {
    return stagedFolder(ws, journal, folder) + QStringLiteral(".old");
}

// The folders of `relative` below `base`, created as needed.
void makeFoldersFor(const QString& base, const QString& relative) {
    QString path = base;
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        path = at(path, parts[i]);
        files::makeDirectory(path);
    }
}

bool present(const QString& path, struct stat* info = nullptr) {
    struct stat local {};
    return ::lstat(native(path).constData(), info ? info : &local) == 0;
}

void moveFile(const QString& from, const QString& base, const QString& relative,
              files::FaultInjector* faults) {
    files::makeDirectory(base);
    makeFoldersFor(base, relative);
    files::posix::check(faults, files::Call::Rename, opRename, from);
    if (::rename(native(from).constData(), native(at(base, relative)).constData()) != 0)
        fail(opRename, from);
}

// The plain files below `dir` as paths relative to it, those left alone left out.
void filesBelow(const QString& dir, const QString& prefix, QStringList& found) {
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        if (leftAlone(entry.name))
            continue;
        const QString relative = prefix + entry.name;
        if (entry.isDirectory())
            filesBelow(at(dir, entry.name), relative + QLatin1Char('/'), found);
        else if (entry.isRegularFile())
            found.append(relative);
    }
}

QStringList filesOf(const Journal& journal, const QString& folder) {
    QStringList found;
    const QString prefix = folder + QLatin1Char('/');
    for (const QString& path : journal.files) {
        if (path.startsWith(prefix))
            found.append(path.mid(prefix.size()));
    }
    return found;
}

bool containsPath(const QStringList& paths, const QString& path) {
    return std::any_of(paths.begin(), paths.end(), [&path](const QString& candidate) {
        return candidate.compare(path, Qt::CaseInsensitive) == 0;
    });
}

void syncFolder(const QString& path, files::FaultInjector* faults) {
    files::posix::Fd fd(path, O_RDONLY | O_DIRECTORY, 0, false, faults);
    files::posix::check(faults, files::Call::Sync, opSync, path);
    // A file system that cannot flush folders says so with EINVAL.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        fail(opSync, path);
    fd.close();
}

// The ID counter a file holds; negative when it is missing or not whole.
qint64 counterIn(const QString& path) {
    struct stat info {};
    if (!present(path, &info) || !S_ISREG(info.st_mode) || info.st_size != 4)
        return -1;
    try {
        return int32FromBytes(files::readFile(path));
    } catch (const IoError&) {
        return -1;
    }
}

QString folderNamed(const Journal& journal, const QString& name) {
    for (const QString& folder : journal.folders) {
        if (folder.compare(name, Qt::CaseInsensitive) == 0)
            return folder;
    }
    return {};
}

[[noreturn]] void damaged(const QString& path) {
    throw IoError(opRestore, path, EINVAL,
                  QStringLiteral("Zapis przerwanego przywracania kopii zapasowej %1 jest "
                                 "uszkodzony albo brak przygotowanych plików kopii, więc "
                                 "przywracania nie da się dokończyć. Usuń ten plik, sprawdź "
                                 "rejestr (kestrana-cli check) i w razie potrzeby przywróć kopię "
                                 "jeszcze raz.")
                      .arg(path));
}

} // namespace

QString journalPath(const Workstation& ws) {
    return at(backupsFolder(ws), QStringLiteral("przywracanie.dat"));
}

bool leftAlone(const QString& name) {
    return name.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive) ||
           files::isTemporaryName(name) ||
           name.compare(QLatin1String("siec.dat"), Qt::CaseInsensitive) == 0;
}

std::optional<Journal> readJournal(const Workstation& ws) {
    const QString path = journalPath(ws);
    if (!files::exists(path))
        return std::nullopt;
    const QList<QByteArray> lines = files::readFile(path, ws.faults).split('\n');
    if (lines.size() < 2 || lines.first() != kFirstLine || !lines.contains(kLastLine))
        damaged(path);
    Journal journal;
    for (const QByteArray& line : lines) {
        const qsizetype blank = line.indexOf(' ');
        const QByteArray key = line.left(blank);
        const QString value = QUrl::fromPercentEncoding(line.mid(blank + 1));
        if (key == "kopia")
            journal.copy = value;
        else if (key == "robocze")
            journal.work = value;
        else if (key == "folder")
            journal.folders.append(value);
        else if (key == "plik")
            journal.files.append(value);
        else if (key == "licznik")
            journal.counterBefore = value.toLongLong();
    }
    // The names become paths: nothing may lead out of KOPIE or the register.
    const auto plain = [](const QString& name) {
        return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..") &&
               name != QLatin1String(".");
    };
    const bool sound =
        plain(journal.copy) && plain(journal.work) &&
        std::all_of(journal.folders.begin(), journal.folders.end(), plain) &&
        std::all_of(journal.files.begin(), journal.files.end(), [](const QString& file) {
            return !file.split(QLatin1Char('/')).contains(QStringLiteral(".."));
        });
    if (!sound)
        damaged(path);
    return journal;
}

void writeJournal(const Workstation& ws, const Journal& journal) {
    QByteArray text = kFirstLine + '\n';
    const auto line = [&text](const char* key, const QString& value) {
        text += QByteArray(key) + ' ' + QUrl::toPercentEncoding(value) + '\n';
    };
    line("kopia", journal.copy);
    line("robocze", journal.work);
    for (const QString& folder : journal.folders)
        line("folder", folder);
    line("licznik", QString::number(journal.counterBefore));
    for (const QString& file : journal.files)
        line("plik", file);
    text += kLastLine + '\n';
    files::replaceFile(journalPath(ws), text, ws.faults);
    syncFolder(backupsFolder(ws), ws.faults);
}

void removeJournal(const Workstation& ws) {
    const QString path = journalPath(ws);
    files::posix::check(ws.faults, files::Call::Rename, opRestore, path);
    if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
        fail(opRestore, path);
    syncFolder(backupsFolder(ws), ws.faults);
}

qint64 putInPlace(const Workstation& ws, const Journal& journal) {
    for (const QString& folder : journal.folders) {
        const QString target = ws.dataPath(folder);
        files::makeDirectory(target);
        const QString staged = stagedFolder(ws, journal, folder);
        const QString aside = asideFolder(ws, journal, folder);
        const QStringList incoming = filesOf(journal, folder);
        for (const QString& relative : incoming) {
            const QString from = at(staged, relative);
            if (!present(from))
                continue; // in place already
            // A file of the folder in another letter case is the same file to the program.
            const QString existing = resolvePath(target, relative);
            const QString placed = existing.mid(target.size() + 1);
            struct stat old {};
            if (present(existing, &old))
                moveFile(existing, aside, placed, ws.faults);
            else if (!present(at(aside, placed), &old))
                old.st_mode = 0;
            // Others sharing the folder through a group keep the access they had.
            if (S_ISREG(old.st_mode)) {
                if (::chmod(native(from).constData(), old.st_mode & 07777) != 0) {
                    // The staged file is this user's own: the umask's mode stays if refused.
                }
                if (::lchown(native(from).constData(), static_cast<uid_t>(-1), old.st_gid) != 0) {
                    // Not a member of that group: the folder's group stays.
                }
            }
            moveFile(from, target, placed, ws.faults);
        }
        QStringList presentFiles;
        filesBelow(target, QString(), presentFiles);
        for (const QString& relative : std::as_const(presentFiles)) {
            if (!containsPath(incoming, relative))
                moveFile(at(target, relative), aside, relative, ws.faults);
        }
    }
    // IDs are never given twice: whatever the copy holds, the counter does not go back, nor
    // below what another workstation took while an interrupted restore waited.
    const QString admini = folderNamed(journal, QStringLiteral("ADMINI"));
    if (admini.isEmpty())
        return -1;
    const qint64 placed = counterIn(ws.idFile());
    const qint64 replaced = counterIn(at(asideFolder(ws, journal, admini), ws.idFileName));
    const qint64 highest = std::max({placed, replaced, journal.counterBefore});
    if (highest <= placed)
        return -1;
    files::replaceFile(ws.idFile(), int32Bytes(static_cast<qint32>(highest)), ws.faults);
    return highest;
}

void putBack(const Workstation& ws, const Journal& journal) {
    for (auto folder = journal.folders.rbegin(); folder != journal.folders.rend(); ++folder) {
        const QString target = ws.dataPath(*folder);
        const QString staged = stagedFolder(ws, journal, *folder);
        const QString aside = asideFolder(ws, journal, *folder);
        for (const QString& relative : filesOf(journal, *folder)) {
            if (present(at(staged, relative)))
                continue; // never put in place
            const QString existing = resolvePath(target, relative);
            if (present(existing))
                moveFile(existing, staged, relative, ws.faults);
        }
        if (!files::isDirectory(aside))
            continue;
        QStringList replaced;
        filesBelow(aside, QString(), replaced);
        for (const QString& relative : std::as_const(replaced))
            moveFile(at(aside, relative), target, relative, ws.faults);
    }
}

void syncFileSystemOf(const QString& path, files::FaultInjector* faults) {
    files::posix::Fd fd(path, O_RDONLY | O_DIRECTORY, 0, false, faults);
    files::posix::check(faults, files::Call::Sync, opSync, path);
    // One flush for the folder and whatever lies below it.
    if (::syncfs(fd.get()) != 0)
        fail(opSync, path);
    fd.close();
}

void syncRegisterFolders(const Workstation& ws, const Journal& journal) {
    for (const QString& folder : journal.folders)
        syncFileSystemOf(ws.dataPath(folder), ws.faults);
}

QStringList finishInterruptedRestore(const Workstation& ws) {
    if (!files::exists(journalPath(ws)))
        return {};
    const FileLock backupLock(ws, at(backupsFolder(ws), QStringLiteral("kopia.lck")));
    const FileLock mainLock(ws, lockPathFor(ws.mainFile()));
    const FileLock idLock(ws, lockPathFor(ws.idFile()));
    // Read under the locks: another workstation may have finished it meanwhile.
    const std::optional<Journal> journal = readJournal(ws);
    if (!journal)
        return {};
    // Without its staged files the journal cannot tell what is done: nothing is moved then.
    if (!files::isDirectory(at(backupsFolder(ws), journal->work)))
        damaged(journalPath(ws));
    const qint64 counter = putInPlace(ws, *journal);
    syncRegisterFolders(ws, *journal);
    removeJournal(ws);
    QStringList done = {QStringLiteral("Przywracanie kopii zapasowej „%1” zostało przerwane; "
                                       "dokończono je teraz. Stan sprzed przywracania jest w "
                                       "kopii zrobionej tuż przed nim.")
                            .arg(journal->copy)};
    if (counter >= 0)
        done.append(QStringLiteral("Licznik ID pozostaje na %1, żeby żaden numer ID nie został "
                                   "nadany drugi raz.")
                        .arg(counter));
    try {
        files::removeTree(at(backupsFolder(ws), journal->work));
    } catch (const IoError& error) {
        done.append(QStringLiteral("Plików roboczych przywracania nie udało się usunąć: %1")
                        .arg(error.text()));
    }
    return done;
}

} // namespace kestrana::restoring
