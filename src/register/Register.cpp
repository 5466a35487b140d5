#include "register/Register.h"

#include "platform/CheckedFile.h"

#include <cstring>

namespace kestrana {

void Register::load(qint64 position) {
    const QByteArray bytes =
        files::readRecord(ws_.mainFile(), position, EntryRecord::Size, ws_.faults);
    std::memcpy(buffer_.data(), bytes.constData(), EntryRecord::Size);
}

void Register::buildList(ViewMode mode, QStringList& lines, const Filter& filter) {
    lines.clear();
    buildList(
        mode, [&lines](QString&& line) { lines.append(std::move(line)); }, filter);
}

void Register::buildList(ViewMode mode, const LineSink& sink, const Filter& filter) {
    files::FileWriter list(ws_.listFile(), files::FileWriter::Mode::Truncate, 1, ws_.faults);
    files::RecordReader main(ws_.mainFile(), EntryRecord::Size, ws_.faults);
    while (const char* record = main.next()) {
        std::memcpy(buffer_.data(), record, EntryRecord::Size);
        if (filter && !filter(buffer_))
            continue;
        list.write(QByteArrayView(record, EntryRecord::Size));
        sink(listLine(buffer_, main.recordsRead(), mode));
    }
    main.close();
    list.commit();
}

} // namespace kestrana
