#pragma once

#include "register/CategoryNames.h"
#include "station/Workstation.h"

// The register's administrative files and its main file, each created with its defaults when
// missing (in server mode the category names' record on the server). Every function throws
// IoError.
namespace kestrana::startup {

// Reports whether it created the file.
CompanyRecord prepareCompanyFile(const Workstation& ws, bool* created = nullptr);
// A missing counter is created after the largest ID of the main file (2 for a new register).
bool prepareIdCounter(const Workstation& ws);
CategoryNames prepareCategoryNames(const Workstation& ws, bool* created = nullptr);
// Stores the category names where the register keeps them: on the server in server mode, else
// in the file `path` (as found when the names were read), replaced as a whole.
void storeCategoryNames(const Workstation& ws, const QString& path, const CategoryNames& names);
bool prepareMainFile(const Workstation& ws);
// The companion lock files of the register's shared files (main file, ID counter, backups,
// voucher counters).
QStringList lockFilesOf(const Workstation& ws);
// Creates those of them that are missing (and KOPIE for the backups' lock).
void prepareLockFiles(const Workstation& ws);

} // namespace kestrana::startup
