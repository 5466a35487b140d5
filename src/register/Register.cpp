#include "register/Register.h"

#include "platform/CheckedFile.h"
#include "platform/PosixFile.h"
#include "platform/ReplacingWriter.h"
#include "register/FileStore.h"
#include "register/RegisterServer.h"

#include <cstring>
#include <system_error>

namespace kestrana {

Register::Register(const Workstation& ws) : ws_(ws) {
    if (ws.server) {
        store_ = &ws.server->entries();
        return;
    }
    ownStore_ = std::make_unique<FileStore>(ws);
    store_ = ownStore_.get();
}

Register::Register(const Workstation& ws, EntryStore& store) : ws_(ws), store_(&store) {}

Register::~Register() {
    // The list file on disk is to be the list built last, also when the program ends at once.
    try {
        finishPendingListFile();
    } catch (const IoError&) {
        // Nobody is left to be told; the list file stays as it was.
    }
}

void Register::load(qint64 position) {
    store_->read(position, buffer_);
}

void Register::buildList(ViewMode mode, QStringList& lines, const Filter& filter) {
    lines.clear();
    build([&](const EntryRecord& entry,
              qint64 recordNumber) { lines.append(listLine(entry, recordNumber, mode)); },
          filter);
}

void Register::buildList(ViewMode mode, const LineSink& sink, const Filter& filter) {
    build([&](const EntryRecord& entry,
              qint64 recordNumber) { sink(listLine(entry, recordNumber, mode)); },
          filter);
}

void Register::buildListBytes(ViewMode mode, const ByteLineSink& sink, const Filter& filter) {
    QByteArray line;
    build(
        [&](const EntryRecord& entry, qint64 recordNumber) {
            listLineBytes(entry, recordNumber, mode, line);
            sink(line);
        },
        filter);
}

void Register::buildList(ViewMode mode, EntryList& list, const Filter& filter) {
    list.clear();
    // The compact list keeps the bytes its lines show; no line is made here.
    build([&](const EntryRecord& entry,
              qint64 recordNumber) { list.append(entry, recordNumber, mode); },
          filter);
}

namespace {

// Writes the first `records` entries of `main` as the list file.
std::shared_ptr<const files::KeptFile> writeListFile(const QString& listPath,
                                                     const files::KeptFile& main, qint64 records,
                                                     const std::atomic<bool>* abandon,
                                                     files::FaultInjector* faults) {
    files::ReplacingWriter file(listPath, faults);
    constexpr qint64 kPiece = 256;
    QByteArray piece(kPiece * EntryRecord::Size, Qt::Uninitialized);
    for (qint64 at = 0; at < records; at += kPiece) {
        if (abandon && abandon->load())
            return nullptr; // the new file is removed with the writer
        const qint64 bytes = std::min(kPiece, records - at) * EntryRecord::Size;
        files::posix::readExactlyAt(main.descriptor(), at * EntryRecord::Size, piece.data(), bytes,
                                    main.path(), faults);
        file.write(piece.constData(), bytes);
    }
    return file.finish();
}

// A list file that could not be written: whoever asks for it later is told so again, never
// handed the shared list file, which another workstation may have written meanwhile.
std::future<std::shared_ptr<const files::KeptFile>> failedList(std::exception_ptr error) {
    std::promise<std::shared_ptr<const files::KeptFile>> promise;
    promise.set_exception(std::move(error));
    return promise.get_future();
}

} // namespace

void Register::build(const EntrySink& sink, const Filter& filter) {
    abandonPendingListFile();
    ownList_.reset();
    try {
        buildNow(sink, filter);
    } catch (const IoError&) {
        pendingList_ = failedList(std::current_exception());
        throw;
    }
}

void Register::buildNow(const EntrySink& sink, const Filter& filter) {
    if (!filter) {
        if (std::shared_ptr<const files::KeptFile> main = store_->openEntriesFile()) {
            buildFromEntriesFile(sink, main);
            return;
        }
    }
    // The list file is written from the very bytes the lines are made of, so the two always
    // agree, however the main file changes meanwhile. A list file that already holds exactly
    // this list (a view change, a start after the last build) is kept, not written again.
    files::ReplacingWriter file(ws_.listFile(), ws_.faults);
    const EntryStore::Visitor visit = [&](qint64 position, const char* record) {
        std::memcpy(buffer_.data(), record, EntryRecord::Size);
        if (filter && !filter(buffer_))
            return;
        file.write(record, EntryRecord::Size);
        sink(buffer_, position + 1);
    };
    if (filter && !filter.preselection.empty())
        store_->scanPreselected(filter.preselection, visit);
    else
        store_->scan(visit);
    ownList_ = file.finish();
    release(file.takeReplaced());
}

void Register::release(std::unique_ptr<files::KeptFile> replaced) {
    if (!replaced || backgroundFrom_ <= 0)
        return; // let go here
    try {
        if (replaced->recordCount(EntryRecord::Size) < backgroundFrom_)
            return;
    } catch (const IoError&) {
        return; // a replaced file a network share no longer describes: let go here
    }
    if (releasing_.valid())
        releasing_.get();
    try {
        // The task drops the file itself: the future's stored task is destroyed on this thread,
        // so it must no longer hold the file by then.
        releasing_ =
            std::async(std::launch::async, [file = std::shared_ptr<files::KeptFile>(
                                                std::move(replaced))]() mutable { file.reset(); });
    } catch (const std::system_error&) {
        // No thread to be had: the file went with the task, here.
    }
}

void Register::buildFromEntriesFile(const EntrySink& sink,
                                    const std::shared_ptr<const files::KeptFile>& main) {
    // The list file holds the records the lines are made of: both are read from the same open
    // file, up to the same count, whatever is renamed over the main file or added meanwhile.
    const qint64 records = main->recordCount(EntryRecord::Size);
    bool background = backgroundFrom_ > 0 && records >= backgroundFrom_;
    if (background) {
        auto abandon = std::make_shared<std::atomic<bool>>(false);
        abandonPending_ = abandon;
        try {
            pendingList_ = std::async(std::launch::async, [listPath = ws_.listFile(), main, records,
                                                           abandon, faults = ws_.faults] {
                return writeListFile(listPath, *main, records, abandon.get(), faults);
            });
        } catch (const std::system_error&) {
            background = false; // no thread to be had: written after the lines
        }
    }
    try {
        files::RecordReader reader(files::RecordSource(main), EntryRecord::Size, ws_.faults);
        for (qint64 n = 1; n <= records; ++n) {
            const char* record = reader.next();
            if (!record)
                break;
            std::memcpy(buffer_.data(), record, EntryRecord::Size);
            sink(buffer_, n);
        }
        reader.close();
    } catch (...) {
        abandonPendingListFile();
        throw;
    }
    if (!background)
        ownList_ = writeListFile(ws_.listFile(), *main, records, nullptr, ws_.faults);
}

void Register::abandonPendingListFile() {
    if (!pendingList_.valid())
        return;
    if (abandonPending_)
        abandonPending_->store(true);
    try {
        pendingList_.get();
    } catch (const IoError&) {
        // Superseded: whatever failed belongs to a list no longer shown.
    }
}

void Register::finishPendingListFile() const {
    if (!pendingList_.valid())
        return;
    try {
        ownList_ = pendingList_.get();
    } catch (const IoError&) {
        pendingList_ = failedList(std::current_exception());
        throw;
    }
}

files::RecordSource Register::listSource() const {
    finishPendingListFile();
    if (ownList_)
        return files::RecordSource(ownList_);
    return files::RecordSource(ws_.listFile());
}

} // namespace kestrana
