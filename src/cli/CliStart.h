#pragma once

#include "station/Workstation.h"

#include <QString>

namespace kestrana {

// The register a command works on, started as the program starts it: its messages go to
// standard error ("kestrana-cli: " and the program's own text), and every question is answered
// No, so the command line never creates data folders or switches a workstation by itself.
// Throws startup::NotReady when the register is not ready (the messages have been written).
Workstation openRegister(const QString& workDir, const QString& today);

} // namespace kestrana
