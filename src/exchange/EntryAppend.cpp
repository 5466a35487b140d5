#include "exchange/EntryAppend.h"

#include "register/EntryStore.h"
#include "register/Register.h"

namespace kestrana::csv {

AppendedEntries appendNewEntries(const Workstation& ws, std::vector<EntryRecord> records) {
    if (records.empty())
        return {};
    Register reg(ws);
    const editing::Appended appended =
        reg.store().appendNew(static_cast<qint64>(records.size()),
                              [&records](qint64 index, qint32 id, EntryRecord& record) {
                                  EntryRecord& given = records[static_cast<size_t>(index)];
                                  given.setText(Field::id, QString::number(id));
                                  record = given;
                              });
    return AppendedEntries{appended.firstPosition, std::move(records)};
}

} // namespace kestrana::csv
