#pragma once

#include "platform/CheckedFile.h"
#include "register/CategoryNames.h"
#include "station/Workstation.h"

#include <QString>

namespace kestrana::csv {

// Writes every entry of a list file (records as the list builder leaves them, in list order) to
// a CSV file with the header row of `names`; a cell that a spreadsheet would take for a formula
// is guarded with an apostrophe (guardFormula). The file is replaced as a whole: on a failure the
// previous file, if any, stays. Returns the number of entries written. Throws IoError.
qint64 exportListFile(const files::RecordSource& listFile, const CategoryNames& names,
                      const QString& csvPath, files::FaultInjector* faults = nullptr);

// The register's category names; empty names (headed by number) without a names file.
CategoryNames currentCategoryNames(const Workstation& ws);

// The current list of the workstation (DANE/sp_ks.dat) under the current category names.
qint64 exportCurrentList(const Workstation& ws, const QString& csvPath);

} // namespace kestrana::csv
