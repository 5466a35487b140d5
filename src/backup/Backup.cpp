#include "backup/Backup.h"

#include "backup/CopyName.h"
#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "register/RegisterServer.h"
#include "register/RestoreJournal.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::backup {

namespace {

const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QString opRename = QStringLiteral("Zmiana nazwy katalogu");
const QString opDate = QStringLiteral("Nazwa kopii zapasowej");
const QString opBackup = QStringLiteral("Kopia zapasowa");

// Folders an interrupted copy leaves in KOPIE: the copy being built and, from earlier versions
// that replaced the day's copy, that copy moved aside while the new one took its name.
const QRegularExpression leftoverName(QStringLiteral("^([0-9_-]+)\\.(tmp|old)\\.[0-9]+$"));
using files::posix::fail;
using files::posix::Fd;
using files::posix::native;

// Flushes the names in a folder to disk. A file system that cannot flush folders says so with
// EINVAL; its renames are as durable as it makes them.
void syncFolder(const QString& path, files::FaultInjector* faults) {
    Fd fd(path, O_RDONLY | O_DIRECTORY, 0, false, faults);
    files::posix::check(faults, files::Call::Sync, opSync, path);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        fail(opSync, path);
    fd.close();
}

// Flushes everything written to the file system that holds `path`. One call for the whole copy
// instead of one per file: a register's descriptions and documents are many small files, and on
// a network share each flush is a round trip.
void syncFileSystem(const QString& path, files::FaultInjector* faults) {
    Fd fd(path, O_RDONLY | O_DIRECTORY, 0, false, faults);
    files::posix::check(faults, files::Call::Sync, opSync, path);
    if (::syncfs(fd.get()) != 0)
        fail(opSync, path);
    fd.close();
}

bool copiedName(const QString& name) {
    return !name.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive) &&
           !files::isTemporaryName(name);
}

// Cleaning up after a failure must not hide the failure itself; what stays behind is removed
// by the next copy.
void removeTreeQuietly(const QString& path) {
    try {
        files::removeTree(path);
    } catch (const IoError&) {
    }
}

void renameFolder(const QString& from, const QString& to, files::FaultInjector* faults) {
    files::posix::check(faults, files::Call::Rename, opRename, from);
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        fail(opRename, from);
}

// Under the lock no other copy is being made, so whatever an interrupted one left is stale. A
// day's copy that was moved aside and not replaced gets its name back. A leftover that cannot
// be removed must not stop today's copy: it is tried again next time.
void clearLeftovers(const Workstation& ws, const QString& root) {
    // A restore cut short keeps its staged files here until the next start finishes it.
    if (files::exists(restoring::journalPath(ws)))
        return;
    for (const files::FolderEntry& entry : files::listFolder(root)) {
        const QRegularExpressionMatch match = leftoverName.match(entry.name);
        if (!match.hasMatch() || !isCopyName(match.captured(1)))
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

// The copies in KOPIE, newest first.
QStringList copiesIn(const QString& root) {
    QStringList names;
    for (const files::FolderEntry& entry : files::listFolder(root)) {
        if (entry.isDirectory())
            names.append(entry.name);
    }
    return newestFirst(names);
}

// Keeps the newest copies by their names; other names in KOPIE are never touched, and the copy
// just made stays whatever dates the others carry.
void removeOldCopies(const Workstation& ws, const QString& root, const QString& made,
                     const QString& spare, Result& result) {
    QStringList copies = copiesIn(root);
    copies.removeAll(made);
    copies.removeAll(spare);
    // The copy an interrupted restore puts back stays until that restore is finished.
    try {
        if (const auto journal = restoring::readJournal(ws))
            copies.removeAll(journal->copy);
    } catch (const IoError&) {
        return;
    }
    for (qsizetype i = kKeptCopies - 1; i < copies.size(); ++i) {
        files::removeTree(root + QLatin1Char('/') + copies[i]);
        result.removed.prepend(copies[i]);
    }
}

// A copy without the register's entries is no copy: it would take one of the kept places.
void checkMainFile(const Workstation& ws) {
    const QString path = ws.mainFile();
    struct stat info {};
    const bool whole = ::lstat(native(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
                       info.st_size > 0 && info.st_size % EntryRecord::Size == 0;
    if (!whole)
        throw IoError(opBackup, path, EINVAL,
                      QStringLiteral("Plik główny %1 jest niepełny albo go brak: kopia zapasowa "
                                     "nie została zrobiona. Sprawdź folder danych poleceniem "
                                     "kestrana-cli check.")
                          .arg(QDir::toNativeSeparators(path)));
}

// The first free name for a copy made at `date` and `time`: a copy never replaces another.
QString freeName(const QString& root, const QString& date, QTime time) {
    CopyName name{QDate::fromString(date, QStringLiteral("yyyy-MM-dd")),
                  QTime(time.hour(), time.minute())};
    while (files::exists(root + QLatin1Char('/') + name.text()))
        ++name.part;
    return name.text();
}

// The files that change together with the main file: copied under its lock with DANE, so the
// copy's counter is never behind the copy's entries.
QStringList counterFiles(const Workstation& ws) {
    return {QStringLiteral("ADMINI/") + ws.idFileName, QStringLiteral("DOKUMENTY/nrkp.dat"),
            QStringLiteral("DOKUMENTY/nrkw.dat")};
}

// DANE and the counters, under the main file's lock (a register without DANE has no main file
// to guard). Returns the counters copied, as paths below the base directory.
QStringList copyUnderMainLock(const Workstation& ws, const QString& building, const Source& source,
                              bool mainLockHeld, Result& result) {
    std::optional<FileLock> lock;
    const QString dane = ws.dataPath(QStringLiteral("DANE"));
    const bool withDane = source.folders.contains(QStringLiteral("DANE"), Qt::CaseInsensitive) &&
                          files::isDirectory(dane);
    QStringList counters;
    for (const QString& subPath : counterFiles(ws)) {
        if (!source.keep || source.keep(QFileInfo(subPath).fileName()))
            counters.append(subPath);
    }
    if ((withDane || !counters.isEmpty()) && !mainLockHeld)
        lock.emplace(ws, lockPathFor(ws.mainFile()));
    // Checked under the lock, where no append is half done. A restore copies whatever state it
    // replaces, a broken one included.
    if (!source.addRegister && !mainLockHeld)
        checkMainFile(ws);
    QStringList copied;
    if (withDane) {
        const QString onDisk = QFileInfo(dane).fileName();
        files::copyTree(dane, building + QLatin1Char('/') + onDisk, copiedName, onDisk,
                        result.skipped, ws.faults);
    }
    for (const QString& subPath : counters) {
        const QString path = ws.dataPath(subPath);
        const QString folder = QFileInfo(path).absolutePath();
        // A link or anything odd in a counter's place is named with the rest of its folder.
        if (!files::isDirectory(folder) || !files::identityOf(path))
            continue;
        const QString targetFolder = building + QLatin1Char('/') + QFileInfo(folder).fileName();
        files::makeDirectory(targetFolder);
        if (files::copyFile(path, targetFolder + QLatin1Char('/') + QFileInfo(path).fileName(),
                            ws.faults))
            copied.append(path);
    }
    return copied;
}

// The other folders, file by file, without the main file's lock: a copy of a large DOKUMENTY
// keeps nobody from saving.
void copyTheRest(const Workstation& ws, const QString& building, const Source& source,
                 const QStringList& counters, Result& result) {
    const auto keep = [&source](const QString& name) {
        return copiedName(name) && (!source.keep || source.keep(name));
    };
    for (const QString& name : source.folders) {
        const QString source = ws.dataPath(name);
        if (!files::isDirectory(source)) {
            result.missing.append(name);
            continue;
        }
        if (name == QLatin1String("DANE"))
            continue;
        // The folder keeps the spelling it has on disk, so a restore is a plain copy back.
        const QString onDisk = QFileInfo(source).fileName();
        const QString target = building + QLatin1Char('/') + onDisk;
        files::makeDirectory(target);
        // The counters in it are in the copy already.
        for (const files::FolderEntry& entry : files::listFolder(source)) {
            const QString path = source + QLatin1Char('/') + entry.name;
            const QString shown = onDisk + QLatin1Char('/') + entry.name;
            if (!keep(entry.name) || counters.contains(path))
                continue;
            if (entry.isDirectory())
                files::copyTree(path, target + QLatin1Char('/') + entry.name, keep, shown,
                                result.skipped, ws.faults);
            else if (entry.isRegularFile())
                files::copyFile(path, target + QLatin1Char('/') + entry.name, ws.faults);
            else
                result.skipped.append(shown);
        }
    }
}

} // namespace

Result copyUnderBackupLock(const Workstation& ws, const QString& date, QTime time,
                           const Source& source, bool mainLockHeld, const QString& spare) {
    Result result;
    const QString root = backupsFolder(ws);
    clearLeftovers(ws, root);
    const QString name = freeName(root, date, time);
    const QString target = root + QLatin1Char('/') + name;
    const QString building = target + QStringLiteral(".tmp.") + QString::number(::getpid());
    try {
        files::makeNewDirectory(building);
        const QStringList counters = copyUnderMainLock(ws, building, source, mainLockHeld, result);
        copyTheRest(ws, building, source, counters, result);
        if (source.addRegister)
            source.addRegister(building);
        syncFileSystem(building, ws.faults);
        renameFolder(building, target, ws.faults);
    } catch (const IoError&) {
        removeTreeQuietly(building);
        throw;
    }
    syncFolder(root, nullptr);
    result.folder = target;
    try {
        removeOldCopies(ws, root, name, spare, result);
    } catch (const IoError& error) {
        result.retentionError = error.text();
    }
    return result;
}

namespace {

// A copy of a register whose restore was cut short would hold half of it: the restore is
// finished first (a register on a server is restored by no one here).
QStringList finishRestore(const Workstation& ws, const Source& source) {
    return source.addRegister ? QStringList() : restoring::finishInterruptedRestore(ws);
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

Source serverSource(RegisterServer& server) {
    QStringList held = {QStringLiteral("serwer.dat")};
    for (const QString& subPath : server.heldFiles())
        held.append(QFileInfo(subPath).fileName());
    Source source;
    source.folders = {QStringLiteral("ADMINI"), QStringLiteral("DOKUMENTY")};
    source.keep = [held](const QString& name) { return !held.contains(name, Qt::CaseInsensitive); };
    source.addRegister = [&server](const QString& copy) { server.exportTo(copy); };
    return source;
}

Source sourceFor(const Workstation& ws) {
    return ws.server ? serverSource(*ws.server) : Source{};
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

QStringList listCopies(const Workstation& ws) {
    const QString root = backupsFolder(ws);
    if (!files::isDirectory(root))
        return {};
    return copiesIn(root);
}

bool isDue(const Workstation& ws, const QString& date) {
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    for (const QString& name : listCopies(ws)) {
        if (parseCopyName(name)->date == day)
            return false;
    }
    return true;
}

QString lockFile(const Workstation& ws) {
    return backupsFolder(ws) + QStringLiteral("/kopia.lck");
}

Result makeBackup(const Workstation& ws, const QString& date, QTime time, const Source& source) {
    checkDate(date);
    const QString root = backupsFolder(ws);
    files::makeDirectory(root);
    const QStringList finished = finishRestore(ws, source);
    const FileLock lock(ws, lockFile(ws));
    Result result = copyUnderBackupLock(ws, date, time, source, false);
    result.finishedRestore = finished;
    return result;
}

std::optional<Result> makeBackupIfDue(const Workstation& ws, const QString& date, QTime time,
                                      const Source& source) {
    checkDate(date);
    if (!isDue(ws, date))
        return std::nullopt;
    const QString root = backupsFolder(ws);
    files::makeDirectory(root);
    const QStringList finished = finishRestore(ws, source);
    const FileLock lock(ws, lockFile(ws));
    if (!isDue(ws, date))
        return std::nullopt;
    Result result = copyUnderBackupLock(ws, date, time, source, false);
    result.finishedRestore = finished;
    return result;
}

} // namespace kestrana::backup
