#include "exchange/EntryAppend.h"

#include "platform/CheckedFile.h"
#include "register/Editing.h"
#include "register/FileLock.h"
#include "register/SmallRecords.h"

namespace kestrana::csv {

AppendedEntries appendNewEntries(const Workstation& ws, std::vector<EntryRecord> records) {
    if (records.empty())
        return {};
    // The main file's lock is held throughout, so no other workstation sees part of the entries
    // or appends in between.
    const QString mainFile = ws.mainFile();
    FileLock mainLock(lockPathFor(mainFile));
    qint32 firstId = 0;
    {
        // The counter first: should the main file fail, its IDs are lost but never given twice.
        FileLock idLock(lockPathFor(ws.idFile()));
        firstId = editing::readIdCounter(ws);
        const auto next = static_cast<quint32>(firstId) + static_cast<quint32>(records.size());
        files::replaceFile(ws.idFile(), int32Bytes(static_cast<qint32>(next)));
    }
    // The main file is replaced by its old records plus the new ones, so a failure adds none.
    files::FileWriter out(mainFile, files::FileWriter::Mode::Atomic);
    files::RecordReader existing(mainFile, EntryRecord::Size);
    while (const char* record = existing.next())
        out.write(QByteArrayView(record, EntryRecord::Size));
    const qint64 firstPosition = existing.recordsRead();
    existing.close();
    auto id = static_cast<quint32>(firstId);
    for (EntryRecord& record : records) {
        record.setText(Field::id, QString::number(static_cast<qint32>(id++)));
        out.write(QByteArrayView(record.data(), EntryRecord::Size));
    }
    out.commit();
    return AppendedEntries{firstPosition, std::move(records)};
}

} // namespace kestrana::csv
