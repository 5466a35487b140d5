#include "register/Editing.h"

#include "platform/CheckedFile.h"
#include "register/FileLock.h"
#include "station/SmallRecords.h"

#include <cstring>

namespace kestrana::editing {

namespace {

QString recordId(const char* record) {
    return EntryRecord::fromBytes(record).text(Field::id);
}

} // namespace

qint32 readIdCounter(const Workstation& ws) {
    return int32FromBytes(files::readRecord(ws.idFile(), 0, 4));
}

void writeIdCounter(const Workstation& ws, qint32 value) {
    FileLock lock(lockPathFor(ws.idFile()));
    files::replaceFile(ws.idFile(), int32Bytes(value));
}

qint32 takeNextId(const Workstation& ws) {
    FileLock lock(lockPathFor(ws.idFile()));
    const qint32 id = readIdCounter(ws);
    // A 32-bit counter: past the largest value it goes on from the smallest.
    files::replaceFile(ws.idFile(), int32Bytes(static_cast<qint32>(static_cast<quint32>(id) + 1u)));
    return id;
}

qint64 appendEntry(const Workstation& ws, const EntryRecord& record) {
    FileLock lock(lockPathFor(ws.mainFile()));
    const qint64 position = files::recordCount(ws.mainFile(), EntryRecord::Size);
    files::appendRecord(ws.mainFile(), QByteArrayView(record.data(), EntryRecord::Size));
    return position;
}

std::optional<qint64> findEntry(const Workstation& ws, const QString& id, qint64 expectedPosition) {
    const QString path = ws.mainFile();
    const qint64 count = files::recordCount(path, EntryRecord::Size);
    if (expectedPosition >= 0 && expectedPosition < count) {
        const QByteArray record = files::readRecord(path, expectedPosition, EntryRecord::Size);
        if (recordId(record.constData()) == id)
            return expectedPosition;
    }
    files::RecordReader reader(path, EntryRecord::Size);
    while (const char* record = reader.next()) {
        if (recordId(record) == id)
            return reader.recordsRead() - 1;
    }
    reader.close();
    return std::nullopt;
}

std::optional<qint64> saveEditedEntry(const Workstation& ws, EntryRecord& buffer,
                                      const EntryFormValues& form, const QString& id,
                                      qint64 expectedPosition) {
    FileLock lock(lockPathFor(ws.mainFile()));
    const std::optional<qint64> position = findEntry(ws, id, expectedPosition);
    if (!position)
        return std::nullopt;
    const QByteArray stored = files::readRecord(ws.mainFile(), *position, EntryRecord::Size);
    std::memcpy(buffer.data(), stored.constData(), EntryRecord::Size);
    formToRecord(form, buffer, false);
    buffer.setText(Field::datamodyfikacji, ws.today);
    files::writeRecordAt(ws.mainFile(), *position,
                         QByteArrayView(buffer.data(), EntryRecord::Size));
    return position;
}

std::optional<qint64> deleteEntry(const Workstation& ws, const QString& id,
                                  qint64 expectedPosition) {
    FileLock lock(lockPathFor(ws.mainFile()));
    const std::optional<qint64> position = findEntry(ws, id, expectedPosition);
    if (!position)
        return std::nullopt;
    {
        files::FileWriter scratch(ws.scratchFile(), files::FileWriter::Mode::Atomic);
        files::RecordReader reader(ws.mainFile(), EntryRecord::Size);
        while (const char* record = reader.next()) {
            if (reader.recordsRead() - 1 != *position)
                scratch.write(QByteArrayView(record, EntryRecord::Size));
        }
        reader.close();
        scratch.commit();
    }
    files::FileWriter main(ws.mainFile(), files::FileWriter::Mode::Atomic);
    files::RecordReader reader(ws.scratchFile(), EntryRecord::Size);
    while (const char* record = reader.next())
        main.write(QByteArrayView(record, EntryRecord::Size));
    reader.close();
    main.commit();
    return position;
}

void rememberEntry(const Workstation& ws, const EntryRecord& record) {
    files::replaceFile(ws.dataPath(QStringLiteral("KOSZ/wpis_ks.dat")),
                       QByteArrayView(record.data(), EntryRecord::Size));
}

EntryRecord rememberedEntry(const Workstation& ws) {
    return EntryRecord::fromBytes(
        files::readRecord(ws.dataPath(QStringLiteral("KOSZ/wpis_ks.dat")), 0, EntryRecord::Size));
}

void keepPreviousEntry(const Workstation& ws, const EntryRecord& record) {
    files::replaceFile(ws.dataPath(QStringLiteral("KOSZ/wpis.dat")),
                       QByteArrayView(record.data(), EntryRecord::Size));
}

} // namespace kestrana::editing
