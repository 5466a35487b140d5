#pragma once

#include "register/CategoryNames.h"
#include "station/Workstation.h"

#include <QString>

namespace kestrana::csv {

// Writes every entry of a list file (records as the list builder leaves them, in list order) to
// a CSV file with the header row of `names`. The file is replaced as a whole: on a failure the
// previous file, if any, stays. Returns the number of entries written. Throws IoError.
qint64 exportListFile(const QString& listFile, const CategoryNames& names, const QString& csvPath);

// The current list of the workstation (DANE/sp_ks.dat) under the current category names.
qint64 exportCurrentList(const Workstation& ws, const QString& csvPath);

} // namespace kestrana::csv
