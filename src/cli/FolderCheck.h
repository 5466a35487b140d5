#pragma once

#include "register/DataFolderCheck.h"

namespace kestrana {

// The data folder check over every file: the register's own, the fonts', the vouchers' and the
// envelopes', and the backups' lock.
QList<CheckFinding> checkWholeDataFolder(const Workstation& ws, const QDateTime& now);

} // namespace kestrana
