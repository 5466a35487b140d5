#include "cli/BackupCommand.h"

#include "backup/Backup.h"
#include "backup/Restore.h"
#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "station/StorageLocation.h"

#include <QDir>
#include <QRegularExpression>

#include <cstdio>
#include <optional>

namespace kestrana {

const char* const backupUsage =
    "  backup [--if-due]                  kopia zapasowa do KOPIE/<data>_<godzina>; z --if-due "
    "tylko\n"
    "                                     wtedy, gdy dzisiejszej kopii jeszcze nie ma\n"
    "  restore NAZWA                      przywraca kopię KOPIE/NAZWA (najpierw kopia obecnego\n"
    "                                     stanu); bez nazwy wypisuje dostępne kopie\n";

namespace {

void printLine(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
}

int fail(const QString& message, int code) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return code;
}

} // namespace

namespace {

// The register's folder as a backup sees it: siec.dat is only read when it exists.
Workstation backupStation(const QString& workDir, const QString& today, LockWait* wait) {
    Workstation ws;
    ws.workDir = workDir;
    ws.baseDir = workDir;
    ws.today = today;
    ws.lockWait = wait;
    if (files::exists(resolvePath(workDir, QStringLiteral("Admini/siec.dat"))))
        ws.baseDir = startup::locateStorage(workDir).baseDir;
    return ws;
}

} // namespace

int runRestoreCommand(const QStringList& args, const QString& workDir, const QString& today,
                      LockWait* wait) {
    if (args.size() > 2)
        return fail(QStringLiteral("restore przyjmuje jedną nazwę kopii"), 2);
    try {
        const Workstation ws = backupStation(workDir, today, wait);
        if (args.size() < 2) {
            const QStringList copies = backup::listCopies(ws);
            if (copies.isEmpty())
                return fail(QStringLiteral("w folderze %1 nie ma kopii zapasowych")
                                .arg(QDir::toNativeSeparators(backup::backupsFolder(ws))),
                            1);
            for (const QString& name : copies)
                printLine(name);
            return 0;
        }
        const backup::RestoreResult result =
            backup::restore(ws, args[1], today, QTime::currentTime());
        printLine(QStringLiteral("Stan sprzed przywrócenia zapisano w kopii %1.")
                      .arg(QDir::toNativeSeparators(result.safetyCopy)));
        printLine(QStringLiteral("Przywrócono kopię %1: %2.")
                      .arg(args[1], result.folders.join(QStringLiteral(", "))));
        for (const QString& note : backup::restoreNotes(result))
            printLine(note);
        if (!result.cleanupError.isEmpty())
            return fail(QStringLiteral("kopia przywrócona, ale plików roboczych nie udało się "
                                       "usunąć: %1")
                            .arg(result.cleanupError),
                        1);
    } catch (const IoError& error) {
        return fail(error.text(), 1);
    }
    return 0;
}

int runBackupCommand(const QStringList& args, const QString& workDir, const QString& today,
                     const backup::Source& source, LockWait* wait) {
    const bool ifDue = args.contains(QStringLiteral("--if-due"));
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] != QLatin1String("--if-due"))
            return fail(QStringLiteral("nieznana opcja: %1").arg(args[i]), 2);
    }
    // A backup changes nothing in the register.
    try {
        const Workstation ws = backupStation(workDir, today, wait);
        std::optional<backup::Result> result;
        const QTime now = QTime::currentTime();
        if (ifDue) {
            result = backup::makeBackupIfDue(ws, today, now, source);
            if (!result) {
                const QStringList copies = backup::listCopies(ws).filter(
                    QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(today)));
                printLine(QStringLiteral("Dzisiejsza kopia już jest: %1")
                              .arg(QDir::toNativeSeparators(
                                  backup::folderFor(ws, copies.value(0, today)))));
                return 0;
            }
        } else {
            result = backup::makeBackup(ws, today, now, source);
        }
        for (const QString& done : std::as_const(result->finishedRestore))
            printLine(done);
        printLine(
            QStringLiteral("Kopia zapasowa: %1").arg(QDir::toNativeSeparators(result->folder)));
        for (const QString& name : std::as_const(result->missing))
            printLine(QStringLiteral("Brak katalogu %1, pominięty.").arg(name));
        for (const QString& name : std::as_const(result->skipped))
            printLine(QStringLiteral("Pominięto (nie jest zwykłym plikiem): %1").arg(name));
        for (const QString& name : std::as_const(result->removed))
            printLine(QStringLiteral("Usunięto starszą kopię %1.").arg(name));
        if (!result->retentionError.isEmpty())
            return fail(QStringLiteral("kopia jest cała, ale starszej nie udało się usunąć: %1")
                            .arg(result->retentionError),
                        1);
    } catch (const IoError& error) {
        return fail(QStringLiteral("kopia zapasowa nie powiodła się: %1").arg(error.text()), 1);
    }
    return 0;
}

} // namespace kestrana
