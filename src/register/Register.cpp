#include "register/Register.h"

#include "platform/CheckedFile.h"
#include "platform/ReplacingWriter.h"
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

void Register::build(const EntrySink& sink, const Filter& filter) {
    ownList_.reset();
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
}

files::RecordSource Register::listSource() const {
    if (ownList_)
        return files::RecordSource(ownList_);
    return files::RecordSource(ws_.listFile());
}

} // namespace kestrana
