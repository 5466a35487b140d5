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

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace kestrana::backup {

namespace {

const QString opRestore = QStringLiteral("Przywrócenie kopii zapasowej");
const QString opRename = QStringLiteral("Zmiana nazwy pliku");

// Files a restore leaves where they are: the locks others may hold, rewrites in progress, and
// the record of where the data are.
bool untouched(const QString& name) {
    return name.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive) ||
           files::isTemporaryName(name) ||
           name.compare(QLatin1String("siec.dat"), Qt::CaseInsensitive) == 0;
}

// The plain files below `dir` as paths relative to it, those `untouched` left out.
void filesBelow(const QString& dir, const QString& prefix, QStringList& found) {
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        if (untouched(entry.name))
            continue;
        const QString relative = prefix + entry.name;
        if (entry.isDirectory())
            filesBelow(dir + QLatin1Char('/') + entry.name, relative + QLatin1Char('/'), found);
        else if (entry.isRegularFile())
            found.append(relative);
    }
}

void moveFile(const QString& from, const QString& to, files::FaultInjector* faults) {
    files::makeDirectory(QFileInfo(to).absolutePath());
    files::posix::check(faults, files::Call::Rename, opRename, from);
    if (::rename(files::posix::native(from).constData(), files::posix::native(to).constData()) != 0)
        files::posix::fail(opRename, from);
}

// One step of putting a folder back, so that it can be undone.
struct Step {
    QString relative;
    bool hadOld = false; // the folder's own file was moved aside first
    bool hasNew = false; // the copy's file took its place
};

// Puts the staged folder `staged` in place of `target`: every staged file renamed into place,
// each replaced or superfluous file moved into `aside`. On failure every step is undone in
// reverse and the error rethrown.
void swapIn(const QString& staged, const QString& target, const QString& aside,
            files::FaultInjector* faults) {
    QStringList incoming;
    filesBelow(staged, QString(), incoming);
    QStringList present;
    filesBelow(target, QString(), present);
    std::vector<Step> done;
    const auto at = [](const QString& dir, const QString& relative) {
        return dir + QLatin1Char('/') + relative;
    };
    try {
        for (const QString& relative : std::as_const(incoming)) {
            Step step{relative};
            // A file of the folder in another letter case is the same file to the program.
            const QString existing = resolvePath(target, relative);
            if (files::identityOf(existing)) {
                step.relative = existing.mid(target.size() + 1);
                moveFile(existing, at(aside, step.relative), faults);
                step.hadOld = true;
                present.removeAll(step.relative);
            }
            done.push_back(step);
            moveFile(at(staged, relative), at(target, step.relative), faults);
            done.back().hasNew = true;
        }
        for (const QString& relative : std::as_const(present)) {
            moveFile(at(target, relative), at(aside, relative), faults);
            done.push_back({relative, true, false});
        }
    } catch (const IoError&) {
        for (auto step = done.rbegin(); step != done.rend(); ++step) {
            if (step->hasNew)
                ::rename(files::posix::native(at(target, step->relative)).constData(),
                         files::posix::native(at(staged, step->relative)).constData());
            if (step->hadOld)
                ::rename(files::posix::native(at(aside, step->relative)).constData(),
                         files::posix::native(at(target, step->relative)).constData());
        }
        throw;
    }
}

} // namespace

QString copyProblem(const Workstation& ws, const QString& name) {
    const QString copy = folderFor(ws, name);
    if (!isCopyName(name) || !files::isDirectory(copy))
        return QStringLiteral("W folderze %1 nie ma kopii „%2”.")
            .arg(QDir::toNativeSeparators(backupsFolder(ws)), name);
    const QString main = resolvePath(copy, QStringLiteral("DANE/") + ws.mainFileName);
    const QFileInfo mainInfo(main);
    if (!mainInfo.isFile())
        return QStringLiteral("Kopia „%1” jest niepełna: brak pliku DANE/%2.")
            .arg(name, ws.mainFileName);
    if (mainInfo.size() % EntryRecord::Size != 0)
        return QStringLiteral("Kopia „%1” jest uszkodzona: plik DANE/%2 nie składa się z całych "
                              "wpisów.")
            .arg(name, ws.mainFileName);
    const QFileInfo counter(resolvePath(copy, QStringLiteral("ADMINI/") + ws.idFileName));
    if (!counter.isFile() || counter.size() != 4)
        return QStringLiteral("Kopia „%1” jest niepełna: brak licznika ADMINI/%2.")
            .arg(name, ws.idFileName);
    return {};
}

RestoreResult restore(const Workstation& ws, const QString& name, const QString& date, QTime time) {
    if (const QString problem = copyProblem(ws, name); !problem.isEmpty())
        throw IoError(opRestore, folderFor(ws, name), EINVAL, problem);
    const QString root = backupsFolder(ws);
    const FileLock backupLock(ws, lockFile(ws));
    const FileLock mainLock(ws, lockPathFor(ws.mainFile()));
    // Checked again under the lock: a copy that went meanwhile is not restored half.
    if (const QString problem = copyProblem(ws, name); !problem.isEmpty())
        throw IoError(opRestore, folderFor(ws, name), EINVAL, problem);
    RestoreResult result;
    result.safetyCopy = copyUnderBackupLock(ws, date, time, {}, true, name).folder;

    const QString copy = folderFor(ws, name);
    // Staged beside the copies, on the same file system as the register in the usual layout,
    // under a name the next backup clears if this one is killed.
    const QString work =
        root + QLatin1Char('/') + name + QStringLiteral(".tmp.") + QString::number(::getpid());
    files::makeNewDirectory(work);
    try {
        for (const QString& folder : copiedFolders()) {
            const QString source = resolvePath(copy, folder);
            if (!files::isDirectory(source)) {
                result.notInCopy.append(folder);
                continue;
            }
            const QString staged = work + QLatin1Char('/') + folder;
            QStringList passedOver;
            files::copyTree(
                source, staged, [](const QString& n) { return !untouched(n); }, folder, passedOver,
                ws.faults);
            QString target = ws.dataPath(folder);
            files::makeDirectory(target);
            swapIn(staged, target, work + QLatin1Char('/') + folder + QStringLiteral(".old"),
                   ws.faults);
            result.folders.append(folder);
        }
    } catch (const IoError&) {
        try {
            files::removeTree(work);
        } catch (const IoError&) {
        }
        throw;
    }
    try {
        files::removeTree(work);
    } catch (const IoError& error) {
        result.cleanupError = error.text();
    }
    return result;
}

} // namespace kestrana::backup
