#pragma once

#include "register/DataFolderCheck.h"
#include "station/Workstation.h"

#include <QDateTime>
#include <QList>
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

// unlock ID in server mode: an entry's lock ends with the connection of the workstation that
// shows it, so nothing is released by hand; says whether the entry is open somewhere now.
int runServerUnlockCommand(const QString& id, const QString& conninfo);

// The check of the register on the server (`ws.server`): its files as an export from one
// snapshot gives them, checked as those of a data folder; the findings name them "serwer: ...".
QList<CheckFinding> checkServerRegister(const Workstation& ws, const QDateTime& now);

extern const char* const serverUsage;

} // namespace kestrana
