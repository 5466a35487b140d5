#pragma once

#include "platform/CheckedFile.h"

#include <memory>

namespace kestrana::files {

// Replaces a file as a whole, as FileWriter's Replace mode does, but leaves the present file
// alone while what is written equals it: a file built again from unchanged data costs a read,
// not a write of every block. The data are compared as they come; at the first difference the
// equal part is copied from the present file by the kernel and everything after it is written
// to the new file. Either way finish() keeps the resulting file open for reading, and a file
// renamed over the name later changes nothing of it.
class ReplacingWriter {
public:
    explicit ReplacingWriter(const QString& path, FaultInjector* faults = nullptr);
    ~ReplacingWriter();
    ReplacingWriter(const ReplacingWriter&) = delete;
    ReplacingWriter& operator=(const ReplacingWriter&) = delete;

    void write(const char* data, qint64 size);
    // The file under the name now: the present one when nothing differed, else the new one,
    // renamed into place.
    std::shared_ptr<const KeptFile> finish();
    // Whether a new file was written (false: the present file was the same).
    bool wroteNewFile() const { return writer_ != nullptr; }
    // After finish(): the file that was under the name before a new one replaced it, still
    // open, so that the caller decides where it is let go (the file system frees a large one's
    // blocks then, which takes a while). Null when the present file was kept or there was none.
    std::unique_ptr<KeptFile> takeReplaced();

private:
    // How many of the leading bytes of `data` the present file holds at the same place.
    qint64 matching(const char* data, qint64 size);
    void startNewFile();

    QString path_;
    FaultInjector* faults_;
    int present_ = -1;
    qint64 presentSize_ = 0;
    qint64 given_ = 0;
    QByteArray window_; // bytes of the present file from windowStart_
    qint64 windowStart_ = 0;
    std::unique_ptr<FileWriter> writer_;
};

} // namespace kestrana::files
