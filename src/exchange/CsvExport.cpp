#include "exchange/CsvExport.h"

#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
#include "platform/CheckedFile.h"
#include "register/RegisterServer.h"

namespace kestrana::csv {

qint64 exportListFile(const files::RecordSource& listFile, const CategoryNames& names,
                      const QString& csvPath, files::FaultInjector* faults) {
    files::FileWriter out(csvPath, files::FileWriter::Mode::Atomic, 1, faults);
    out.write(fileHeader());
    out.write(encodeRow(guardFormulas(headerRow(names))));
    files::RecordReader list(listFile, EntryRecord::Size);
    while (const char* record = list.next())
        out.write(encodeRow(guardFormulas(entryRow(EntryRecord::fromBytes(record)))));
    const qint64 count = list.recordsRead();
    list.close();
    out.commit();
    return count;
}

CategoryNames currentCategoryNames(const Workstation& ws) {
    // Without a names file (start-up makes one) the columns are headed "Kategoria 1" and so on.
    CategoryNames names;
    if (ws.server) {
        if (const auto stored = ws.server->read(RegisterServer::Record::CategoryNames))
            names = CategoryNames::fromBytes(*stored);
    } else if (files::exists(ws.categoriesFile())) {
        names = CategoryNames::read(ws.categoriesFile());
    }
    return names;
}

qint64 exportCurrentList(const Workstation& ws, const QString& csvPath) {
    return exportListFile(ws.listFile(), currentCategoryNames(ws), csvPath, ws.faults);
}

} // namespace kestrana::csv
