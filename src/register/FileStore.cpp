#include "register/FileStore.h"

#include "platform/BothCores.h"
#include "platform/CheckedFile.h"
#include "platform/PosixFile.h"
#include "register/Editing.h"

#include <cstring>
#include <fcntl.h>
#include <vector>

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

std::shared_ptr<const files::KeptFile> FileStore::openEntriesFile() {
    const QString path = ws_.mainFile();
    files::posix::Fd main(path, O_RDONLY, files::posix::kNewFileMode, false, ws_.faults);
    return std::make_shared<const files::KeptFile>(main.release(), path);
}

void FileStore::scanPreselected(const Preselection& preselection, const Visitor& visit) {
    // Both cores read and test, a stretch of the file each; the records that pass are handed
    // to `visit` in storage order, on this thread.
    const std::shared_ptr<const files::KeptFile> main = openEntriesFile();
    const qint64 records = main->recordCount(EntryRecord::Size);
    constexpr qint64 kStretch = 8192; // records, about 13 MB
    constexpr qint64 kPiece = 128;    // records read at once
    struct Passed {
        std::vector<qint64> positions;
        QByteArray bytes;
    };
    Passed passed[2];
    const auto test = [&](qint64 stretch) {
        Passed& out = passed[stretch % 2];
        out.positions.clear();
        out.bytes.clear();
        QByteArray piece(kPiece * EntryRecord::Size, Qt::Uninitialized);
        const qint64 end = std::min(records, (stretch + 1) * kStretch);
        for (qint64 at = stretch * kStretch; at < end; at += kPiece) {
            const qint64 count = std::min(kPiece, end - at);
            const qint64 got =
                files::posix::readAt(main->descriptor(), at * EntryRecord::Size, piece.data(),
                                     count * EntryRecord::Size, main->path(), ws_.faults);
            for (qint64 i = 0; i < got / EntryRecord::Size; ++i) {
                const char* record = piece.constData() + i * EntryRecord::Size;
                if (preselection.admits(record)) {
                    out.positions.push_back(at + i);
                    out.bytes.append(record, EntryRecord::Size);
                }
            }
            if (got < count * EntryRecord::Size)
                break; // cut short meanwhile: the file ends here
        }
    };
    const auto hand = [&](qint64 stretch) {
        const Passed& in = passed[stretch % 2];
        for (size_t i = 0; i < in.positions.size(); ++i)
            visit(in.positions[i],
                  in.bytes.constData() + static_cast<qsizetype>(i) * EntryRecord::Size);
    };
    alternateOnBothCores((records + kStretch - 1) / kStretch, test, hand);
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
