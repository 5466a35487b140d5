#pragma once

#include <QString>
#include <QStringList>

// kestrana-cli's commands for a register on a PostgreSQL server. `args` are the words after the
// program name; each returns 0 when done, 1 when it failed (the reason on stderr), 2 for wrong
// arguments.
namespace kestrana {

class LockWait;

// server init | import FOLDER | export FOLDER [--server PARAMETRY]: the workstation's server
// (Admini/serwer.dat) unless --server names one.
int runServerCommand(const QStringList& args, const QString& workDir);

// mode server PARAMETRY: checks that the server answers, then switches the workstation.
int runServerModeCommand(const QStringList& args, const QString& workDir);

// backup [--if-due] of a workstation in server mode: the register exported from the server
// together with the folders that stay on the workstation's side, into KOPIE/<date>.
int runServerBackupCommand(const QStringList& args, const QString& workDir, const QString& today,
                           const QString& conninfo, LockWait* wait = nullptr);

// Commands that work on the register in files are refused while the workstation keeps its
// register on a server, so that nothing is read or written locally as if it were the register.
// True (the reason printed on stderr, exit code 1) when `command` is refused.
bool refusedInServerMode(const QString& command);

extern const char* const serverUsage;

} // namespace kestrana
