#include "backup/Restore.h"

#include "backup/Backup.h"
#include "backup/CopyName.h"
#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "register/RestoreJournal.h"
#include "station/SmallRecords.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::backup {

namespace {

const QString opRestore = QStringLiteral("Przywrócenie kopii zapasowej");

// What stands in the copy where a plain file belongs and is not one (a link, a device, a pipe,
// or a folder where the register keeps only files), as a path below the copy; empty when there
// is nothing of the kind. Links are never followed: a copy must hold the register itself, not a
// way to somewhere else. Only DOKUMENTY may hold folders of its own.
QString oddEntryBelow(const QString& dir, const QString& shown, bool foldersAllowed) {
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        if (restoring::leftAlone(entry.name))
            continue;
        const QString relative = shown + QLatin1Char('/') + entry.name;
        if (entry.isDirectory() && foldersAllowed) {
            if (const QString odd =
                    oddEntryBelow(dir + QLatin1Char('/') + entry.name, relative, true);
                !odd.isEmpty())
                return odd;
        } else if (!entry.isRegularFile()) {
            return relative;
        }
    }
    return {};
}

// A file of the copy as lstat sees it: a link is not the file it points to.
bool plainFile(const QString& path, qint64* size = nullptr) {
    struct stat info {};
    if (::lstat(files::posix::native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (size)
        *size = info.st_size;
    return true;
}

// The files of the copy's folder `folder`, staged below `work`, as journal entries.
void stageFolder(const Workstation& ws, const QString& source, const QString& work,
                 const QString& folder, restoring::Journal& journal) {
    QStringList passedOver;
    files::copyTree(
        source, work + QLatin1Char('/') + folder,
        [](const QString& n) { return !restoring::leftAlone(n); }, folder, passedOver, ws.faults);
    // Checked before: whatever is passed over now came meanwhile, and is not restored half.
    if (!passedOver.isEmpty())
        throw IoError(opRestore, source, EINVAL,
                      QStringLiteral("W kopii jest %1, który nie jest zwykłym plikiem.")
                          .arg(passedOver.first()));
    const std::function<void(const QString&, const QString&)> list = [&](const QString& dir,
                                                                         const QString& prefix) {
        for (const files::FolderEntry& entry : files::listFolder(dir)) {
            if (entry.isDirectory())
                list(dir + QLatin1Char('/') + entry.name, prefix + entry.name + QLatin1Char('/'));
            else
                journal.files.append(prefix + entry.name);
        }
    };
    list(work + QLatin1Char('/') + folder, folder + QLatin1Char('/'));
}

qint64 counterValue(const QString& path) {
    qint64 size = 0;
    if (!plainFile(path, &size) || size != 4)
        return -1;
    return int32FromBytes(files::readFile(path));
}

} // namespace

QString copyProblem(const Workstation& ws, const QString& name) {
    const QString copy = folderFor(ws, name);
    if (!isCopyName(name) || !files::isDirectory(copy))
        return QStringLiteral("W folderze %1 nie ma kopii „%2”.")
            .arg(QDir::toNativeSeparators(backupsFolder(ws)), name);
    for (const QString& folder : copiedFolders()) {
        const QString source = resolvePath(copy, folder);
        struct stat info {};
        if (::lstat(files::posix::native(source).constData(), &info) != 0)
            continue;
        const QString odd =
            S_ISDIR(info.st_mode)
                ? oddEntryBelow(source, folder, folder == QLatin1String("DOKUMENTY"))
                : folder;
        if (!odd.isEmpty())
            return QStringLiteral("Kopia „%1” nie może być przywrócona: %2 nie jest zwykłym "
                                  "plikiem (to dowiązanie, katalog, potok lub urządzenie).")
                .arg(name, odd);
    }
    qint64 mainSize = 0;
    if (!plainFile(resolvePath(copy, QStringLiteral("DANE/") + ws.mainFileName), &mainSize))
        return QStringLiteral("Kopia „%1” jest niepełna: brak pliku DANE/%2.")
            .arg(name, ws.mainFileName);
    if (mainSize % EntryRecord::Size != 0)
        return QStringLiteral("Kopia „%1” jest uszkodzona: plik DANE/%2 nie składa się z całych "
                              "wpisów.")
            .arg(name, ws.mainFileName);
    qint64 counterSize = 0;
    if (!plainFile(resolvePath(copy, QStringLiteral("ADMINI/") + ws.idFileName), &counterSize) ||
        counterSize != 4)
        return QStringLiteral("Kopia „%1” jest niepełna: brak licznika ADMINI/%2.")
            .arg(name, ws.idFileName);
    return {};
}

RestoreResult restore(const Workstation& ws, const QString& name, const QString& date, QTime time) {
    if (const QString problem = copyProblem(ws, name); !problem.isEmpty())
        throw IoError(opRestore, folderFor(ws, name), EINVAL, problem);
    // An earlier restore that was cut short is finished before another begins.
    RestoreResult result;
    result.finishedEarlier = restoring::finishInterruptedRestore(ws);
    const QString root = backupsFolder(ws);
    const FileLock backupLock(ws, lockFile(ws));
    const FileLock mainLock(ws, lockPathFor(ws.mainFile()));
    const FileLock idLock(ws, lockPathFor(ws.idFile()));
    // Checked again under the lock: a copy that went meanwhile is not restored half.
    if (const QString problem = copyProblem(ws, name); !problem.isEmpty())
        throw IoError(opRestore, folderFor(ws, name), EINVAL, problem);
    result.safetyCopy = copyUnderBackupLock(ws, date, time, {}, true, name).folder;

    const QString copy = folderFor(ws, name);
    restoring::Journal journal;
    journal.copy = name;
    // Staged beside the copies, on the same file system as the register in the usual layout.
    // Until the journal names it, the next backup clears it as a leftover.
    journal.work = name + QStringLiteral(".tmp.") + QString::number(::getpid());
    journal.counterBefore = counterValue(ws.idFile());
    const QString work = root + QLatin1Char('/') + journal.work;
    files::makeNewDirectory(work);
    try {
        for (const QString& folder : copiedFolders()) {
            const QString source = resolvePath(copy, folder);
            if (!files::isDirectory(source)) {
                result.notInCopy.append(folder);
                continue;
            }
            stageFolder(ws, source, work, folder, journal);
            journal.folders.append(folder);
        }
        // The copy's counter may be behind IDs given out since it was made: it never goes back.
        const QString stagedCounter = resolvePath(work, QStringLiteral("ADMINI/") + ws.idFileName);
        result.copyCounter = counterValue(stagedCounter);
        if (journal.counterBefore > result.copyCounter) {
            files::replaceFile(stagedCounter,
                               int32Bytes(static_cast<qint32>(journal.counterBefore)), ws.faults);
            result.counterKept = journal.counterBefore;
        }
        restoring::syncFileSystemOf(work, ws.faults);
        restoring::writeJournal(ws, journal);
    } catch (const IoError&) {
        try {
            files::removeTree(work);
        } catch (const IoError&) {
        }
        throw;
    }
    // From here on the journal lets the next start finish what a kill interrupts.
    try {
        if (const qint64 raised = restoring::putInPlace(ws, journal); raised >= 0)
            result.counterKept = raised;
        restoring::syncRegisterFolders(ws, journal);
    } catch (const IoError& failure) {
        // Put back as a whole; should that fail too, the journal stays and the next start
        // finishes the restore instead.
        try {
            restoring::putBack(ws, journal);
            restoring::syncRegisterFolders(ws, journal);
            restoring::removeJournal(ws);
        } catch (const IoError& second) {
            throw IoError(opRestore, copy, failure.errorNumber(),
                          failure.text() + QStringLiteral("\nPrzywracania nie udało się też "
                                                          "cofnąć (%1); następne uruchomienie "
                                                          "programu je dokończy.")
                                               .arg(second.text()));
        }
        try {
            files::removeTree(work);
        } catch (const IoError&) {
        }
        throw;
    }
    restoring::removeJournal(ws);
    result.folders = journal.folders;
    try {
        files::removeTree(work);
    } catch (const IoError& error) {
        result.cleanupError = error.text();
    }
    return result;
}

QStringList restoreNotes(const RestoreResult& result) {
    QStringList notes = result.finishedEarlier;
    if (result.counterKept >= 0)
        notes.append(QStringLiteral("Licznik ID pozostaje na %1 (kopia miała %2), żeby żaden "
                                    "numer ID nie został nadany drugi raz.")
                         .arg(result.counterKept)
                         .arg(result.copyCounter));
    for (const QString& name : result.notInCopy)
        notes.append(
            QStringLiteral("Kopia nie zawiera katalogu %1; pozostał bez zmian.").arg(name));
    return notes;
}

} // namespace kestrana::backup
