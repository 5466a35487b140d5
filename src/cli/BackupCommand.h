#pragma once

#include "backup/Backup.h"

#include <QString>
#include <QStringList>

namespace kestrana {

class LockWait;

// kestrana-cli backup [--if-due]: copies DANE, ADMINI, OPISY and DOKUMENTY of the register in
// `workDir` (or of the folder its Admini/siec.dat names) into KOPIE/<today>_<HHMM> under the base
// directory, as "Kopia zapasowa" in the program does; with --if-due only when today has no copy
// yet, as the program's first start of the day does. Prints the copy's folder and what was
// skipped or removed. `args` are the words after the program name, "backup" first. Returns 0
// when done, 1 when it failed (the reason on stderr), 2 for wrong arguments. `source` says what
// goes into the copy (a register on a database server writes its part itself). A busy lock is
// waited for as `wait` decides (kDefaultLockWait without one).
int runBackupCommand(const QStringList& args, const QString& workDir, const QString& today,
                     const backup::Source& source = {}, LockWait* wait = nullptr);

// kestrana-cli restore NAME: puts the copy KOPIE/NAME back (see backup::restore), asking
// nothing; without NAME, lists the copies, newest first. Returns 0 when done, 1 when it failed
// (the reason on stderr), 2 for wrong arguments.
int runRestoreCommand(const QStringList& args, const QString& workDir, const QString& today,
                      LockWait* wait = nullptr);

// The commands' usage lines, for the program's usage text.
extern const char* const backupUsage;

} // namespace kestrana
