#pragma once

#include "register/CategoryNames.h"
#include "station/Workstation.h"

// The register's administrative files and its main file, each created with its defaults when
// missing. Every function throws IoError.
namespace kestrana::startup {

// Reports whether it created the file.
CompanyRecord prepareCompanyFile(const Workstation& ws, bool* created = nullptr);
bool prepareIdCounter(const Workstation& ws);
CategoryNames prepareCategoryNames(const Workstation& ws, bool* created = nullptr);
bool prepareMainFile(const Workstation& ws);

} // namespace kestrana::startup
