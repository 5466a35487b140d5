#include "exchange/EntryAppend.h"

#include "register/Editing.h"

namespace kestrana::csv {

AppendedEntries appendNewEntries(const Workstation& ws, std::vector<EntryRecord> records) {
    if (records.empty())
        return {};
    const editing::Appended appended = editing::appendNewEntries(ws, records);
    return AppendedEntries{appended.firstPosition, std::move(records)};
}

} // namespace kestrana::csv
