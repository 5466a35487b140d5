#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>
#include <QTime>

// Putting a copy from KOPIE back in place of the register's folders. The copy is checked
// before anything is replaced; then, under the backups' lock and the main file's lock (held to
// the end, so nobody saves in between), the present state is copied into KOPIE like any other
// copy, and each folder of the copy is put back as a whole: its files are staged in KOPIE,
// then renamed into place one by one, the replaced files moved aside, so a failure part way
// puts the folder's earlier files back. Lock files, temporary files and Admini/siec.dat (which
// names where the data are) are never replaced nor removed.
namespace kestrana::backup {

struct RestoreResult {
    QString safetyCopy;    // the copy of the state that was replaced
    QStringList folders;   // the folders put back, as the copy names them
    QStringList notInCopy; // copied folders the copy does not hold, left as they are
    QString cleanupError;  // staged or replaced files that could not be removed afterwards
};

// What is wrong with copy `name` for a restore (no such copy, no main file, a main file that is
// not whole records, no ID counter); empty when it can be restored.
QString copyProblem(const Workstation& ws, const QString& name);

// Restores copy `name` (a name as listBackups gives it); `date` and `time` name the copy of the
// present state made first. Throws IoError: before the safety copy is whole nothing is changed;
// after it, the folders already put back stay put back and the failing one is as it was.
RestoreResult restore(const Workstation& ws, const QString& name, const QString& date, QTime time);

} // namespace kestrana::backup
