#pragma once

#include "platform/CheckedFile.h"
#include "register/CategoryNames.h"
#include "station/Workstation.h"

#include <QString>

namespace kestrana::xlsx {

// A worksheet holds 1 048 576 rows, the header takes one.
inline constexpr qint64 kMaxEntries = 1048575;

// Writes every entry of a list file (in list order) to an .xlsx workbook with libxlsxwriter: one
// sheet with the columns of the CSV export (exchange/CsvColumns.h), the header row frozen, and
// every cell a text cell in text format ("@"), so that no spreadsheet reads an identifier, an
// account or a date as a number: leading zeros and all 26 digits of an account stay. A text
// holding NUL, which the file format cannot carry, shows U+2400 "␀" in its place. The file is
// replaced as a whole: on a failure the previous file, if any, stays. Returns the number of
// entries written. Throws IoError, also when the list has more than kMaxEntries entries.
qint64 exportListFile(const files::RecordSource& listFile, const CategoryNames& names,
                      const QString& path, files::FaultInjector* faults = nullptr);

// The current list of the workstation (DANE/sp_ks.dat) under the current category names.
qint64 exportCurrentList(const Workstation& ws, const QString& path);

} // namespace kestrana::xlsx
