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
    build(
        mode, [&lines](QString&& line, qint64) { lines.append(std::move(line)); }, filter);
}

void Register::buildList(ViewMode mode, const LineSink& sink, const Filter& filter) {
    build(
        mode, [&sink](QString&& line, qint64) { sink(std::move(line)); }, filter);
}

void Register::buildList(ViewMode mode, EntryList& list, const Filter& filter) {
    list.clear();
    build(
        mode,
        [&list](QString&& line, qint64 recordNumber) {
            list.append(std::move(line), recordNumber);
        },
        filter);
}

void Register::build(ViewMode mode, const NumberedSink& sink, const Filter& filter) {
    files::FileWriter list(ws_.listFile(), files::FileWriter::Mode::Truncate, 1, ws_.faults);
    store_->scan([&](qint64 position, const char* record) {
        std::memcpy(buffer_.data(), record, EntryRecord::Size);
        if (filter && !filter(buffer_))
            return;
        list.write(QByteArrayView(record, EntryRecord::Size));
        sink(listLine(buffer_, position + 1, mode), position + 1);
    });
    list.commit();
}

} // namespace kestrana
