#pragma once

#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <vector>

namespace kestrana::csv {

struct AppendedEntries {
    qint64 firstPosition = -1;        // 0-based main-file position of the first of them
    std::vector<EntryRecord> records; // as stored, each with its new ID
};

// The one place where an import extends the main file: the records get consecutive new IDs
// from the counter and are appended, all or nothing (see the definition). Throws IoError.
AppendedEntries appendNewEntries(const Workstation& ws, std::vector<EntryRecord> records);

} // namespace kestrana::csv
