#include "register/Editing.h"

#include "platform/CheckedFile.h"
#include "platform/DurableFile.h"
#include "platform/PosixFile.h"
#include "register/BatchAppend.h"
#include "register/FileLock.h"
#include "station/SmallRecords.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>

namespace kestrana::editing {

namespace {

const QString opIds = QStringLiteral("Nadanie numeru ID");

QString recordId(const char* record) {
    return EntryRecord::fromBytes(record).text(Field::id);
}

[[noreturn]] void refuseIds(const Workstation& ws, qint32 counter, qint64 wanted) {
    throw IoError(opIds, ws.idFile(), idRefusal(counter, wanted));
}

// Takes `count` consecutive IDs under the counter's lock; returns the first.
qint32 takeIds(const Workstation& ws, qint64 count) {
    const FileLock lock(ws, lockPathFor(ws.idFile()));
    // Read under the lock: a value read before another workstation's step is stale.
    const qint32 first = readIdCounter(ws);
    if (!idRefusal(first, count).isEmpty())
        refuseIds(ws, first, count);
    files::replaceFile(ws.idFile(), int32Bytes(static_cast<qint32>(first + count)), ws.faults);
    return first;
}

} // namespace

QString idRefusal(qint32 counter, qint64 wanted) {
    if (counter >= 1 && qint64(kIdLimit) - counter >= wanted)
        return {};
    QString reason;
    if (counter < 1)
        reason = QStringLiteral("Licznik ID ma wartość %1, a numer ID musi być dodatni. Ustaw "
                                "licznik (menu Edycja, „Sprawdź aktualny numer ID klienta”) na "
                                "liczbę większą od największego numeru ID w bazie.")
                     .arg(counter);
    else if (counter == kIdLimit)
        reason = QStringLiteral("Licznik ID osiągnął %1: nowy wpis nie może dostać numeru ID, bo "
                                "większy numer nie mieści się w polu ID.")
                     .arg(kIdLimit);
    else
        reason = QStringLiteral("Licznik ID ma wartość %1: zostało tylko %2 wolnych numerów ID, a "
                                "nowych wpisów jest %3.")
                     .arg(counter)
                     .arg(qint64(kIdLimit) - counter)
                     .arg(wanted);
    return reason + QStringLiteral(" Nic nie zostało zapisane.");
}

qint32 readIdCounter(const Workstation& ws) {
    return int32FromBytes(files::readRecord(ws.idFile(), 0, 4, ws.faults));
}

void writeIdCounter(const Workstation& ws, qint32 value) {
    if (value < 1)
        refuseIds(ws, value, 1);
    const FileLock lock(ws, lockPathFor(ws.idFile()));
    files::replaceFile(ws.idFile(), int32Bytes(value), ws.faults);
}

qint32 takeNextId(const Workstation& ws) {
    return takeIds(ws, 1);
}

Appended appendNewEntries(const Workstation& ws, qint64 count, const EntryMaker& make) {
    const QString mainFile = ws.mainFile();
    const FileLock mainLock(ws, lockPathFor(mainFile));
    Appended appended;
    if (count <= 0) {
        appended.firstPosition = files::recordCount(mainFile, EntryRecord::Size);
        return appended;
    }
    // The counter first: should the main file fail, its IDs are lost but never given twice.
    appended.firstId = takeIds(ws, count);
    BatchAppend batch(ws);
    appended.firstPosition = batch.firstPosition();
    EntryRecord record;
    for (qint64 i = 0; i < count; ++i) {
        const auto id = static_cast<qint32>(appended.firstId + i);
        record.clear();
        make(i, id, record);
        record.setText(Field::id, QString::number(id));
        batch.write(QByteArrayView(record.data(), EntryRecord::Size));
    }
    batch.commit();
    return appended;
}

Appended appendNewEntries(const Workstation& ws, std::vector<EntryRecord>& records) {
    return appendNewEntries(ws, static_cast<qint64>(records.size()),
                            [&records](qint64 index, qint32 id, EntryRecord& record) {
                                EntryRecord& given = records[static_cast<size_t>(index)];
                                given.setText(Field::id, QString::number(id));
                                record = given;
                            });
}

Appended addEntry(const Workstation& ws, EntryRecord& record) {
    const QString mainFile = ws.mainFile();
    const FileLock mainLock(ws, lockPathFor(mainFile));
    Appended appended;
    appended.firstId = takeIds(ws, 1);
    record.setText(Field::id, QString::number(appended.firstId));
    appended.firstPosition = files::recordCount(mainFile, EntryRecord::Size);
    files::appendRecord(mainFile, QByteArrayView(record.data(), EntryRecord::Size), ws.faults);
    return appended;
}

qint64 appendEntry(const Workstation& ws, const EntryRecord& record) {
    const FileLock lock(ws, lockPathFor(ws.mainFile()));
    const qint64 position = files::recordCount(ws.mainFile(), EntryRecord::Size);
    files::appendRecord(ws.mainFile(), QByteArrayView(record.data(), EntryRecord::Size), ws.faults);
    return position;
}

std::optional<qint64> findEntry(const Workstation& ws, const QString& id, qint64 expectedPosition) {
    const QString path = ws.mainFile();
    const qint64 count = files::recordCount(path, EntryRecord::Size);
    if (expectedPosition >= 0 && expectedPosition < count) {
        const QByteArray record =
            files::readRecord(path, expectedPosition, EntryRecord::Size, ws.faults);
        if (recordId(record.constData()) == id)
            return expectedPosition;
    }
    // Several entries may lack an ID: one that moved is found only when it is the only one, so
    // a change never lands on another entry without an ID.
    std::optional<qint64> found;
    files::RecordReader reader(path, EntryRecord::Size, ws.faults);
    while (const char* record = reader.next()) {
        if (recordId(record) != id)
            continue;
        if (!id.isEmpty())
            return reader.recordsRead() - 1;
        if (found)
            return std::nullopt;
        found = reader.recordsRead() - 1;
    }
    reader.close();
    return found;
}

std::optional<qint64> saveEditedEntry(const Workstation& ws, EntryRecord& buffer,
                                      const EntryFormValues& form, const QString& id,
                                      qint64 expectedPosition) {
    const FileLock lock(ws, lockPathFor(ws.mainFile()));
    const std::optional<qint64> position = findEntry(ws, id, expectedPosition);
    if (!position)
        return std::nullopt;
    const QByteArray stored =
        files::readRecord(ws.mainFile(), *position, EntryRecord::Size, ws.faults);
    std::memcpy(buffer.data(), stored.constData(), EntryRecord::Size);
    formToRecord(form, buffer, false);
    buffer.setText(Field::datamodyfikacji, ws.today);
    files::writeRecordAt(ws.mainFile(), *position, QByteArrayView(buffer.data(), EntryRecord::Size),
                         ws.faults);
    return position;
}

std::optional<qint64> deleteEntry(const Workstation& ws, const QString& id,
                                  qint64 expectedPosition) {
    const FileLock lock(ws, lockPathFor(ws.mainFile()));
    const std::optional<qint64> position = findEntry(ws, id, expectedPosition);
    if (!position)
        return std::nullopt;
    {
        files::FileWriter scratch(ws.scratchFile(), files::FileWriter::Mode::Atomic, 1, ws.faults);
        files::RecordReader reader(ws.mainFile(), EntryRecord::Size, ws.faults);
        while (const char* record = reader.next()) {
            if (reader.recordsRead() - 1 != *position)
                scratch.write(QByteArrayView(record, EntryRecord::Size));
        }
        reader.close();
        scratch.commit();
    }
    files::FileWriter main(ws.mainFile(), files::FileWriter::Mode::Atomic, 1, ws.faults);
    files::RecordReader reader(ws.scratchFile(), EntryRecord::Size, ws.faults);
    while (const char* record = reader.next())
        main.write(QByteArrayView(record, EntryRecord::Size));
    reader.close();
    main.commit();
    return position;
}

int removeChosenEntries(
    const Workstation& ws, const QSet<QString>& ids,
    const std::function<std::vector<bool>(const std::vector<EntryRecord>&)>& choose) {
    const QString mainFile = ws.mainFile();
    const FileLock lock(ws, lockPathFor(mainFile));
    std::vector<EntryRecord> found;
    std::vector<qint64> positions;
    {
        files::RecordReader reader(mainFile, EntryRecord::Size, ws.faults);
        while (const char* record = reader.next()) {
            if (!ids.contains(recordId(record)))
                continue;
            found.push_back(EntryRecord::fromBytes(record));
            positions.push_back(reader.recordsRead() - 1);
        }
        reader.close();
    }
    const std::vector<bool> chosen = choose(found);
    QSet<qint64> going;
    for (size_t i = 0; i < found.size() && i < chosen.size(); ++i) {
        if (chosen[i])
            going.insert(positions[i]);
    }
    if (going.isEmpty())
        return 0;
    // The last entries (an import undone before anything else was added): the file is cut.
    const qint64 count = files::recordCount(mainFile, EntryRecord::Size);
    const qint64 firstGoing = *std::min_element(going.cbegin(), going.cend());
    if (firstGoing == count - going.size()) {
        files::posix::Fd fd(mainFile, O_WRONLY, files::posix::kNewFileMode, false, ws.faults);
        files::cutTo(fd.get(), firstGoing * EntryRecord::Size, mainFile, ws.faults);
        fd.close();
        return static_cast<int>(going.size());
    }
    files::FileWriter out(mainFile, files::FileWriter::Mode::Atomic, 1, ws.faults);
    files::RecordReader reader(mainFile, EntryRecord::Size, ws.faults);
    while (const char* record = reader.next()) {
        if (!going.contains(reader.recordsRead() - 1))
            out.write(QByteArrayView(record, EntryRecord::Size));
    }
    reader.close();
    out.commit();
    return static_cast<int>(going.size());
}

void rememberEntry(const Workstation& ws, const EntryRecord& record) {
    files::replaceFile(ws.dataPath(QStringLiteral("KOSZ/wpis_ks.dat")),
                       QByteArrayView(record.data(), EntryRecord::Size), ws.faults);
}

EntryRecord rememberedEntry(const Workstation& ws) {
    return EntryRecord::fromBytes(files::readRecord(ws.dataPath(QStringLiteral("KOSZ/wpis_ks.dat")),
                                                    0, EntryRecord::Size, ws.faults));
}

void keepPreviousEntry(const Workstation& ws, const EntryRecord& record) {
    files::replaceFile(ws.dataPath(QStringLiteral("KOSZ/wpis.dat")),
                       QByteArrayView(record.data(), EntryRecord::Size), ws.faults);
}

} // namespace kestrana::editing
