#pragma once

#include "register/EntryRecord.h"
#include "register/ListLine.h"
#include "register/Workstation.h"

#include <QStringList>

#include <functional>

namespace kestrana {

// The register's files and the one entry buffer through which every record passes: each
// load, list build, save and printout reads into it, so afterwards it holds the last record
// read.
class Register {
public:
    explicit Register(const Workstation& ws) : ws_(ws) {}

    const Workstation& workstation() const { return ws_; }
    EntryRecord& buffer() { return buffer_; }
    const EntryRecord& buffer() const { return buffer_; }

    // Reads main-file record `position` (0-based) into the buffer. Throws IoError.
    void load(qint64 position);

    using Filter = std::function<bool(const EntryRecord&)>;
    using LineSink = std::function<void(QString&& line)>;
    // Rebuilds the list: every record of the main file (those passing `filter`, when given)
    // goes to the list file and gives one line, handed to `sink` as it is built. Lines built
    // before a failure have been handed on when IoError is thrown.
    void buildList(ViewMode mode, const LineSink& sink, const Filter& filter = {});
    // The same, collecting the lines.
    void buildList(ViewMode mode, QStringList& lines, const Filter& filter = {});

private:
    const Workstation& ws_;
    EntryRecord buffer_;
};

} // namespace kestrana
