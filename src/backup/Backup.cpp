#include "backup/Backup.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "register/FileLock.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::backup {

namespace {

const QString opOpen = QStringLiteral("Otwarcie pliku");
const QString opRead = QStringLiteral("Odczyt pliku");
const QString opClose = QStringLiteral("Zamknięcie pliku");
const QString opList = QStringLiteral("Odczyt katalogu");
const QString opStat = QStringLiteral("Odczyt atrybutów pliku");
const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QString opTimes = QStringLiteral("Ustawienie daty pliku");
const QString opRename = QStringLiteral("Zmiana nazwy katalogu");
const QString opRemove = QStringLiteral("Usunięcie pliku");
const QString opRemoveDir = QStringLiteral("Usunięcie katalogu");
const QString opMkdir = QStringLiteral("Utworzenie katalogu");
const QString opDate = QStringLiteral("Nazwa kopii zapasowej");

// Folders an interrupted copy leaves in KOPIE: the copy being built and the day's earlier copy
// moved aside while the new one takes its name.
const QRegularExpression
    leftoverName(QStringLiteral("^([0-9]{4}-[0-9]{2}-[0-9]{2})\\.(tmp|old)\\.[0-9]+$"));
// Temporary files of the checked file layer (name.tmp.<pid>) left by a killed program.
const QRegularExpression temporaryFileName(QStringLiteral("\\.tmp\\.[0-9]+$"));

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

[[noreturn]] void fail(const QString& operation, const QString& path) {
    throw IoError(operation, path, errno);
}

class Descriptor {
public:
    // With `mayBeGone`, a missing file leaves the descriptor invalid instead of failing.
    Descriptor(const QString& path, int flags, bool mayBeGone = false) : path_(path) {
        do {
            fd_ = ::open(native(path).constData(), flags | O_CLOEXEC);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0 && !(mayBeGone && errno == ENOENT))
            fail(opOpen, path);
    }
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR)
            fail(opClose, path_);
    }

private:
    QString path_;
    int fd_ = -1;
};

struct Entry {
    QString name;
    struct stat info;
};

// The entries of a folder, without following links.
QList<Entry> listFolder(const QString& dir) {
    DIR* handle = ::opendir(native(dir).constData());
    if (!handle)
        fail(opList, dir);
    QList<Entry> entries;
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(handle);
        if (!item) {
            const int error = errno;
            ::closedir(handle);
            if (error != 0)
                throw IoError(opList, dir, error);
            break;
        }
        const QString name = QFile::decodeName(item->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        Entry entry{name, {}};
        const QString path = dir + QLatin1Char('/') + name;
        if (::lstat(native(path).constData(), &entry.info) != 0) {
            const int error = errno;
            ::closedir(handle);
            throw IoError(opStat, path, error);
        }
        entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

// Flushes the names in a folder to disk. A file system that cannot flush folders says so with
// EINVAL; its renames are as durable as it makes them.
void syncFolder(const QString& path) {
    Descriptor fd(path, O_RDONLY | O_DIRECTORY);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        fail(opSync, path);
    fd.close();
}

// Flushes everything written to the file system that holds `path`. One call for the whole copy
// instead of one per file: a register's descriptions and documents are many small files, and on
// a network share each flush is a round trip.
void syncFileSystem(const QString& path) {
    Descriptor fd(path, O_RDONLY | O_DIRECTORY);
    if (::syncfs(fd.get()) != 0)
        fail(opSync, path);
    fd.close();
}

// Creates a folder that must not exist yet: a copy never mixes with what was there.
void makeNewFolder(const QString& path) {
    if (::mkdir(native(path).constData(), 0755) != 0)
        fail(opMkdir, path);
}

void copyFile(const QString& from, const QString& to, const struct stat& info) {
    {
        // O_NONBLOCK: a file swapped for a pipe since it was listed must not hang the copy.
        Descriptor in(from, O_RDONLY | O_NONBLOCK, true);
        if (in.get() < 0)
            return; // deleted since the folder was listed (a description, say): nothing to copy
        files::FileWriter out(to, files::FileWriter::Mode::Truncate);
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in.get(), buffer.data(), static_cast<size_t>(buffer.size()));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail(opRead, from);
            }
            if (n == 0)
                break;
            out.write(QByteArrayView(buffer.constData(), n));
        }
        in.close();
        out.commit();
    }
    // The copy keeps the file's dates, so a restored register looks as it was.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::utimensat(AT_FDCWD, native(to).constData(), times, 0) != 0)
        fail(opTimes, to);
}

bool copiedName(const QString& name) {
    return !name.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive) &&
           !temporaryFileName.match(name).hasMatch();
}

// Copies the folder `from` into the new folder `to`; `shown` names it in the result.
void copyFolder(const QString& from, const QString& to, const QString& shown, Result& result) {
    makeNewFolder(to);
    for (const Entry& entry : listFolder(from)) {
        if (!copiedName(entry.name))
            continue;
        const QString source = from + QLatin1Char('/') + entry.name;
        const QString target = to + QLatin1Char('/') + entry.name;
        if (S_ISDIR(entry.info.st_mode))
            copyFolder(source, target, shown + QLatin1Char('/') + entry.name, result);
        else if (S_ISREG(entry.info.st_mode))
            copyFile(source, target, entry.info);
        else
            result.skipped.append(shown + QLatin1Char('/') + entry.name);
    }
}

// Removes a file, or a folder with everything in it.
void removeTree(const QString& path) {
    struct stat info {};
    if (::lstat(native(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return;
        fail(opStat, path);
    }
    if (!S_ISDIR(info.st_mode)) {
        files::removeFile(path);
        return;
    }
    for (const Entry& entry : listFolder(path))
        removeTree(path + QLatin1Char('/') + entry.name);
    if (::rmdir(native(path).constData()) != 0 && errno != ENOENT)
        fail(opRemoveDir, path);
}

// Cleaning up after a failure must not hide the failure itself; what stays behind is removed
// by the next copy.
void removeTreeQuietly(const QString& path) {
    try {
        removeTree(path);
    } catch (const IoError&) {
    }
}

void renameFolder(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        fail(opRename, from);
}

// Under the lock no other copy is being made, so whatever an interrupted one left is stale. A
// day's copy that was moved aside and not replaced gets its name back. A leftover that cannot
// be removed must not stop today's copy: it is tried again next time.
void clearLeftovers(const QString& root) {
    for (const Entry& entry : listFolder(root)) {
        const QRegularExpressionMatch match = leftoverName.match(entry.name);
        if (!match.hasMatch())
            continue;
        const QString path = root + QLatin1Char('/') + entry.name;
        const QString day = root + QLatin1Char('/') + match.captured(1);
        if (match.captured(2) == QLatin1String("old") && S_ISDIR(entry.info.st_mode) &&
            !files::exists(day)) {
            if (::rename(native(path).constData(), native(day).constData()) == 0)
                continue;
        }
        removeTreeQuietly(path);
    }
}

// Keeps the newest copies by their date names; other names in KOPIE are never touched, and the
// copy just made stays whatever dates the others carry.
void removeOldCopies(const QString& root, const QString& date, Result& result) {
    QStringList copies;
    for (const Entry& entry : listFolder(root)) {
        if (S_ISDIR(entry.info.st_mode) && isDateName(entry.name) && entry.name != date)
            copies.append(entry.name);
    }
    copies.sort();
    const qsizetype excess = copies.size() + 1 - kKeptCopies;
    for (qsizetype i = 0; i < excess; ++i) {
        removeTree(root + QLatin1Char('/') + copies[i]);
        result.removed.append(copies[i]);
    }
}

Result copyUnderLock(const Workstation& ws, const QString& date) {
    Result result;
    const QString root = backupsFolder(ws);
    files::makeDirectory(root);
    clearLeftovers(root);
    const QString target = root + QLatin1Char('/') + date;
    const QString pid = QString::number(::getpid());
    const QString building = target + QStringLiteral(".tmp.") + pid;
    const QString aside = target + QStringLiteral(".old.") + pid;
    bool movedAside = false;
    try {
        makeNewFolder(building);
        for (const QString& name : copiedFolders()) {
            const QString source = ws.dataPath(name);
            if (!files::isDirectory(source)) {
                result.missing.append(name);
                continue;
            }
            // The folder keeps the spelling it has on disk, so a restore is a plain copy back.
            const QString onDisk = QFileInfo(source).fileName();
            copyFolder(source, building + QLatin1Char('/') + onDisk, onDisk, result);
        }
        syncFileSystem(building);
        if (files::isDirectory(target)) {
            renameFolder(target, aside);
            movedAside = true;
        }
        renameFolder(building, target);
    } catch (const IoError&) {
        removeTreeQuietly(building);
        if (movedAside && !files::exists(target))
            ::rename(native(aside).constData(), native(target).constData());
        throw;
    }
    syncFolder(root);
    result.folder = target;
    try {
        if (movedAside)
            removeTree(aside);
        removeOldCopies(root, date, result);
    } catch (const IoError& error) {
        result.retentionError = error.text();
    }
    return result;
}

void checkDate(const QString& date) {
    // The date becomes a folder name: nothing else may.
    if (!isDateName(date))
        throw IoError(opDate, date, EINVAL);
}

} // namespace

const QStringList& copiedFolders() {
    static const QStringList names = {QStringLiteral("DANE"), QStringLiteral("ADMINI"),
                                      QStringLiteral("OPISY"), QStringLiteral("DOKUMENTY")};
    return names;
}

QString backupsFolder(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("KOPIE"));
}

QString folderFor(const Workstation& ws, const QString& date) {
    return backupsFolder(ws) + QLatin1Char('/') + date;
}

bool isDateName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return pattern.match(name).hasMatch() &&
           QDate::fromString(name, QStringLiteral("yyyy-MM-dd")).isValid();
}

bool isDue(const Workstation& ws, const QString& date) {
    return !files::isDirectory(folderFor(ws, date));
}

namespace {

// Takes the main file's lock; a register without DANE has no main file to guard.
void lockMainFile(const Workstation& ws, std::optional<FileLock>& lock) {
    if (files::isDirectory(ws.dataPath(QStringLiteral("DANE"))))
        lock.emplace(lockPathFor(ws.mainFile()));
}

} // namespace

Result makeBackup(const Workstation& ws, const QString& date) {
    checkDate(date);
    std::optional<FileLock> lock;
    lockMainFile(ws, lock);
    return copyUnderLock(ws, date);
}

std::optional<Result> makeBackupIfDue(const Workstation& ws, const QString& date) {
    checkDate(date);
    if (!isDue(ws, date))
        return std::nullopt;
    std::optional<FileLock> lock;
    lockMainFile(ws, lock);
    if (!isDue(ws, date))
        return std::nullopt;
    return copyUnderLock(ws, date);
}

} // namespace kestrana::backup
