#include "backup/Backup.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "register/FileLock.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kestrana::backup {

namespace {

const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QString opRename = QStringLiteral("Zmiana nazwy katalogu");
const QString opDate = QStringLiteral("Nazwa kopii zapasowej");

// Folders an interrupted copy leaves in KOPIE: the copy being built and the day's earlier copy
// moved aside while the new one takes its name.
const QRegularExpression
    leftoverName(QStringLiteral("^([0-9]{4}-[0-9]{2}-[0-9]{2})\\.(tmp|old)\\.[0-9]+$"));
// Temporary files of the checked file layer (name.tmp.<pid>) left by a killed program.
const QRegularExpression temporaryFileName(QStringLiteral("\\.tmp\\.[0-9]+$"));

using files::posix::fail;
using files::posix::Fd;
using files::posix::native;

// Flushes the names in a folder to disk. A file system that cannot flush folders says so with
// EINVAL; its renames are as durable as it makes them.
void syncFolder(const QString& path) {
    Fd fd(path, O_RDONLY | O_DIRECTORY);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        fail(opSync, path);
    fd.close();
}

// Flushes everything written to the file system that holds `path`. One call for the whole copy
// instead of one per file: a register's descriptions and documents are many small files, and on
// a network share each flush is a round trip.
void syncFileSystem(const QString& path) {
    Fd fd(path, O_RDONLY | O_DIRECTORY);
    if (::syncfs(fd.get()) != 0)
        fail(opSync, path);
    fd.close();
}

bool copiedName(const QString& name) {
    return !name.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive) &&
           !temporaryFileName.match(name).hasMatch();
}

// Cleaning up after a failure must not hide the failure itself; what stays behind is removed
// by the next copy.
void removeTreeQuietly(const QString& path) {
    try {
        files::removeTree(path);
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
    for (const files::FolderEntry& entry : files::listFolder(root)) {
        const QRegularExpressionMatch match = leftoverName.match(entry.name);
        if (!match.hasMatch())
            continue;
        const QString path = root + QLatin1Char('/') + entry.name;
        const QString day = root + QLatin1Char('/') + match.captured(1);
        if (match.captured(2) == QLatin1String("old") && entry.isDirectory() &&
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
    for (const files::FolderEntry& entry : files::listFolder(root)) {
        if (entry.isDirectory() && isDateName(entry.name) && entry.name != date)
            copies.append(entry.name);
    }
    copies.sort();
    const qsizetype excess = copies.size() + 1 - kKeptCopies;
    for (qsizetype i = 0; i < excess; ++i) {
        files::removeTree(root + QLatin1Char('/') + copies[i]);
        result.removed.append(copies[i]);
    }
}

Result copyUnderLock(const Workstation& ws, const QString& date, const Source& source) {
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
        files::makeNewDirectory(building);
        const auto keep = [&source](const QString& name) {
            return copiedName(name) && (!source.keep || source.keep(name));
        };
        for (const QString& name : source.folders) {
            const QString folder = ws.dataPath(name);
            if (!files::isDirectory(folder)) {
                result.missing.append(name);
                continue;
            }
            // The folder keeps the spelling it has on disk, so a restore is a plain copy back.
            const QString onDisk = QFileInfo(folder).fileName();
            files::copyTree(folder, building + QLatin1Char('/') + onDisk, keep, onDisk,
                            result.skipped);
        }
        if (source.addRegister)
            source.addRegister(building);
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
            files::removeTree(aside);
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

Result makeBackup(const Workstation& ws, const QString& date, const Source& source) {
    checkDate(date);
    std::optional<FileLock> lock;
    lockMainFile(ws, lock);
    return copyUnderLock(ws, date, source);
}

std::optional<Result> makeBackupIfDue(const Workstation& ws, const QString& date,
                                      const Source& source) {
    checkDate(date);
    if (!isDue(ws, date))
        return std::nullopt;
    std::optional<FileLock> lock;
    lockMainFile(ws, lock);
    if (!isDue(ws, date))
        return std::nullopt;
    return copyUnderLock(ws, date, source);
}

} // namespace kestrana::backup
