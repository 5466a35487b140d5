#include "register/FileStore.h"

#include "platform/CheckedFile.h"
#include "register/Editing.h"

#include <cstring>

namespace kestrana {

namespace {

EntryStore::Lock lockOf(EntryLocks::Outcome outcome) {
    switch (outcome) {
    case EntryLocks::Outcome::Taken:
        return EntryStore::Lock::Taken;
    case EntryLocks::Outcome::HeldByOther:
        return EntryStore::Lock::HeldByOther;
    case EntryLocks::Outcome::InvalidId:
        break;
    }
    return EntryStore::Lock::InvalidId;
}

} // namespace

void FileStore::read(qint64 position, EntryRecord& into) {
    const QByteArray bytes =
        files::readRecord(ws_.mainFile(), position, EntryRecord::Size, ws_.faults);
    std::memcpy(into.data(), bytes.constData(), EntryRecord::Size);
}

void FileStore::scan(const Visitor& visit) {
    files::RecordReader main(ws_.mainFile(), EntryRecord::Size, ws_.faults);
    while (const char* record = main.next())
        visit(main.recordsRead() - 1, record);
    main.close();
}

qint64 FileStore::add(EntryRecord& record) {
    return editing::addEntry(ws_, record).firstPosition;
}

std::optional<qint64> FileStore::saveEdited(EntryRecord& buffer, const EntryFormValues& form,
                                            const QString& id, qint64 expectedPosition) {
    return editing::saveEditedEntry(ws_, buffer, form, id, expectedPosition);
}

std::optional<qint64> FileStore::remove(const QString& id, qint64 expectedPosition) {
    return editing::deleteEntry(ws_, id, expectedPosition);
}

void FileStore::sort(SortField field, bool descending) {
    sortRegister(ws_, field, descending);
}

editing::Appended FileStore::appendNew(qint64 count, const editing::EntryMaker& make) {
    return editing::appendNewEntries(ws_, count, make);
}

int FileStore::removeChosen(const QSet<QString>& ids, const Chooser& choose) {
    return editing::removeChosenEntries(ws_, ids, choose);
}

qint32 FileStore::idCounter() {
    return editing::readIdCounter(ws_);
}

void FileStore::setIdCounter(qint32 value) {
    editing::writeIdCounter(ws_, value);
}

EntryStore::Lock FileStore::checkLock(const QString& id) {
    return lockOf(locks_.check(id));
}

EntryStore::Lock FileStore::takeLock(const QString& id) {
    return lockOf(locks_.take(id));
}

bool FileStore::heldByOther(const QString& id) {
    return locks_.heldByOther(id);
}

void FileStore::releaseLock() {
    locks_.release();
}

void FileStore::remember(const EntryRecord& record) {
    editing::rememberEntry(ws_, record);
}

EntryRecord FileStore::remembered() {
    return editing::rememberedEntry(ws_);
}

void FileStore::keepPrevious(const EntryRecord& record) {
    editing::keepPreviousEntry(ws_, record);
}

} // namespace kestrana
