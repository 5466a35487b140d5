#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>

#include <optional>

// What makes a restore of a copy recoverable at every step. A restore first stages the copy's
// folders whole beside the copies (KOPIE/<work>/<folder>), then writes this journal
// (KOPIE/przywracanie.dat: which copy, where it is staged, every file it puts in place) and
// flushes it; only then does it move anything in the register. From the journal and what lies
// on disk, every file's step can be told (still staged, or already in place with the replaced
// file moved aside into KOPIE/<work>/<folder>.old), so an interrupted restore is finished by
// the next start of the program or of any kestrana-cli command before anything reads the
// register, and a restore that fails part way is put back as a whole.
namespace kestrana::restoring {

struct Journal {
    QString copy;        // the copy being restored, a name in KOPIE
    QString work;        // the folder in KOPIE where its files are staged
    QStringList folders; // the register's folders put back, as the copy names them
    // Every file put in place, as "<folder>/<path below it>".
    QStringList files;
    // The ID counter before the restore (negative when it was missing or not whole): the
    // counter never goes below it.
    qint64 counterBefore = -1;
};

// KOPIE/przywracanie.dat below the base directory.
QString journalPath(const Workstation& ws);
// The journal of a restore in progress or interrupted; nothing when there is none. Throws
// IoError for a journal that cannot be read or understood.
std::optional<Journal> readJournal(const Workstation& ws);
// Writes the journal and flushes it and its folder to disk.
void writeJournal(const Workstation& ws, const Journal& journal);
// Removes the journal and flushes its folder: the restore is over.
void removeJournal(const Workstation& ws);

// Files a restore never replaces nor removes: locks others may hold, rewrites in progress and
// the record of where the data are.
bool leftAlone(const QString& name);

// Moves every staged file into place, each replaced or superfluous file aside; the register's
// ID counter then is the largest of the restored one, the one it replaced and counterBefore.
// Each step is taken from what lies on disk, so it may be repeated after an interruption.
// Returns the counter's value when it was raised above the copy's, else a negative number.
qint64 putInPlace(const Workstation& ws, const Journal& journal);
// Undoes putInPlace, also from what lies on disk: the register as it was before.
void putBack(const Workstation& ws, const Journal& journal);
// Flushes the folders the restore changed to disk.
void syncRegisterFolders(const Workstation& ws, const Journal& journal);
// Flushes everything written to the file system that holds the folder `path`.
void syncFileSystemOf(const QString& path, files::FaultInjector* faults);

// Finishes a restore that was interrupted (its journal is still there), under the backups',
// the main file's and the ID counter's locks, and removes what it staged. Returns what was done,
// in Polish, for the user; empty when there was nothing to finish. Throws IoError.
QStringList finishInterruptedRestore(const Workstation& ws);

} // namespace kestrana::restoring
