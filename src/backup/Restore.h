#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>
#include <QTime>

// Putting a copy from KOPIE back in place of the register's folders. The copy is checked
// before anything is replaced (links, devices and pipes in it are refused, never followed);
// then, under the backups' lock, the main file's lock and the ID counter's lock (held to the
// end, so nobody saves or takes an ID in between), the present state is copied into KOPIE like
// any other copy, the copy's folders are staged whole in KOPIE, a journal of the restore is
// written (register/RestoreJournal.h), and the staged files are renamed into place one by one,
// the replaced ones moved aside. A failure part way puts every folder back as it was; a kill
// or a power loss is finished by the next start from the journal. The ID counter never goes
// back: it keeps the larger of its present value and the copy's. Lock files, temporary files and
// Admini/siec.dat (which names where the data are) are never replaced nor removed.
namespace kestrana::backup {

struct RestoreResult {
    QString safetyCopy;          // the copy of the state that was replaced
    QStringList folders;         // the folders put back, as the copy names them
    QStringList notInCopy;       // copied folders the copy does not hold, left as they are
    QString cleanupError;        // staged or replaced files that could not be removed afterwards
    qint64 copyCounter = -1;     // the ID counter the copy holds
    qint64 counterKept = -1;     // the counter kept instead, being larger; negative when none
    QStringList finishedEarlier; // an earlier restore that was cut short, finished first
};

// What is wrong with copy `name` for a restore (no such copy, no main file, a main file that is
// not whole records, no ID counter, anything but plain files and folders); empty when it can
// be restored.
QString copyProblem(const Workstation& ws, const QString& name);

// Restores copy `name` (a name as listBackups gives it); `date` and `time` name the copy of the
// present state made first. Throws IoError, the register then as it was (or, should putting it
// back fail too, left for the next start to finish the restore).
RestoreResult restore(const Workstation& ws, const QString& name, const QString& date, QTime time);

// What the user is told besides the copy put back: an earlier restore finished first, the ID
// counter kept, folders the copy did not hold.
QStringList restoreNotes(const RestoreResult& result);

} // namespace kestrana::backup
