#include "register/Register.h"

#include "platform/CheckedFile.h"
#include "register/FileStore.h"
#include "register/RegisterServer.h"

#include <cstring>

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

Register::~Register() = default;

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

void Register::buildList(ViewMode mode, EntryList& list, const Filter& filter) {
    list.clear();
    // The compact list keeps the bytes its lines show; no line is made here.
    build([&](const EntryRecord& entry,
              qint64 recordNumber) { list.append(entry, recordNumber, mode); },
          filter);
}

void Register::build(const EntrySink& sink, const Filter& filter) {
    ownList_.reset();
    files::FileWriter file(ws_.listFile(), files::FileWriter::Mode::Replace, 1, ws_.faults);
    const QString everything = filter ? QString() : store_->entriesFile();
    if (!everything.isEmpty()) {
        // The copy is the list: its lines come from it, so they and the file always agree,
        // however the main file changes meanwhile.
        // A partial last record is no entry: the list holds whole records only.
        const qint64 whole = files::recordCount(everything, EntryRecord::Size) * EntryRecord::Size;
        file.copyFrom(everything, whole);
        std::shared_ptr<const files::KeptFile> kept = file.keep();
        files::RecordReader copy(files::RecordSource(kept), EntryRecord::Size, ws_.faults);
        while (const char* record = copy.next()) {
            std::memcpy(buffer_.data(), record, EntryRecord::Size);
            sink(buffer_, copy.recordsRead());
        }
        copy.close();
        file.commit();
        ownList_ = std::move(kept);
        return;
    }
    const EntryStore::Visitor visit = [&](qint64 position, const char* record) {
        std::memcpy(buffer_.data(), record, EntryRecord::Size);
        if (filter && !filter(buffer_))
            return;
        file.write(QByteArrayView(record, EntryRecord::Size));
        sink(buffer_, position + 1);
    };
    if (filter && !filter.preselection.empty())
        store_->scanPreselected(filter.preselection, visit);
    else
        store_->scan(visit);
    std::shared_ptr<const files::KeptFile> kept = file.keep();
    file.commit();
    ownList_ = std::move(kept);
}

files::RecordSource Register::listSource() const {
    if (ownList_)
        return files::RecordSource(ownList_);
    return files::RecordSource(ws_.listFile());
}

} // namespace kestrana
