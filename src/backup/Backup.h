#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>
#include <optional>

// Backups of the register: DANE, ADMINI, OPISY and DOKUMENTY of the base directory copied into
// KOPIE/<YYYY-MM-DD_HHMM> under it (see CopyName.h). One copy is made at a time (KOPIE/kopia.lck).
// DANE and the counters are copied under the main file's lock (the one saves, additions, deletions
// and the sort take), so the copy never holds a half-written change; the other folders are copied
// file by file without it, so a large DOKUMENTY keeps nobody from saving. The copy is built in a
// temporary folder that is renamed into place only when whole: a folder named as a copy is
// always a complete copy, and a new copy never replaces an earlier one.
namespace kestrana {
class RegisterServer;
}

namespace kestrana::backup {

// How many copies stay in KOPIE after a new one is made.
inline constexpr int kKeptCopies = 14;

// The folders copied, as they are named below the base directory (letter case aside).
const QStringList& copiedFolders();

struct Result {
    QString folder;              // the copy made
    QStringList missing;         // copied folders that do not exist, skipped
    QStringList skipped;         // entries that are neither files nor folders (links, devices)
    QStringList removed;         // older copies removed to keep the newest kKeptCopies
    QString retentionError;      // removing an older copy failed (the new copy is whole)
    QStringList finishedRestore; // a restore that was cut short, finished before the copy
};

// Where a copy's content comes from. By default, the copied folders of the base directory. A
// register kept on a database server gives the folders that stay on the workstation's side,
// without the files the server holds (`keep` says no to them), and writes the register itself
// into the copy being built (`addRegister`, given that folder).
struct Source {
    QStringList folders = copiedFolders();
    std::function<bool(const QString& name)> keep; // a file or folder name; empty: all
    std::function<void(const QString& copy)> addRegister;
};

// In server mode: ADMINI and DOKUMENTY of the workstation's folder without the files the
// server holds (their local leftovers would be stale) and without the workstation's serwer.dat,
// then the register exported from the server into the copy, so that every copy opens as a file
// register.
Source serverSource(RegisterServer& server);
// The copy of the workstation's register: serverSource() in server mode, else the default.
Source sourceFor(const Workstation& ws);

// KOPIE under the base directory (found without regard to letter case).
QString backupsFolder(const Workstation& ws);
// KOPIE/<name>.
QString folderFor(const Workstation& ws, const QString& name);
// The complete copies in KOPIE, newest first (none when there is no KOPIE).
QStringList listCopies(const Workstation& ws);
// The backups' own lock, KOPIE/kopia.lck: one copy at a time, whoever makes it.
QString lockFile(const Workstation& ws);
// True for a name of the form YYYY-MM-DD that is a real date.
bool isDateName(const QString& name);

// The daily copy is due while the day has no copy yet, whatever its time.
bool isDue(const Workstation& ws, const QString& date);

// Makes a copy now, named by `date` and `time`. A file register without a whole main file is
// not copied. Throws IoError; nothing of a failed copy is left behind and the earlier copies
// stay.
Result makeBackup(const Workstation& ws, const QString& date, QTime time,
                  const Source& source = {});

// Makes the copy only when it is due, checked again under the lock, so that workstations
// starting together make one copy. Nothing when it was not due.
std::optional<Result> makeBackupIfDue(const Workstation& ws, const QString& date, QTime time,
                                      const Source& source = {});

// Makes a copy while the caller holds the backups' lock and, with `mainLockHeld`, the main
// file's lock too (a restore keeps it from its own copy of the state it replaces to the end).
// The copy `spare` is not removed to keep the newest kKeptCopies (the one being restored).
Result copyUnderBackupLock(const Workstation& ws, const QString& date, QTime time,
                           const Source& source, bool mainLockHeld, const QString& spare = {});

} // namespace kestrana::backup
