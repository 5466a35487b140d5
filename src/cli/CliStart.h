#pragma once

#include "station/Workstation.h"

#include <QString>

namespace kestrana {

class LockWait;

// The register a command works on (in files, or on the workstation's server), started as the
// program starts it: its messages go to standard error ("kestrana-cli: " and the program's own
// text), and every question is answered No, so the command line never creates data folders or
// switches a workstation by itself.
// Throws startup::NotReady when the register is not ready (the messages have been written).
// Data another workstation holds are waited for as `wait` decides (kDefaultLockWait without it).
Workstation openRegister(const QString& workDir, const QString& today, LockWait* wait = nullptr);

} // namespace kestrana
