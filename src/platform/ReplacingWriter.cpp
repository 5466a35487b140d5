#include "platform/ReplacingWriter.h"

#include "platform/KernelCopy.h"
#include "platform/PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::files {

namespace {

const QString opRead = QStringLiteral("Odczyt pliku");
constexpr qint64 kWindow = 1 << 18;

} // namespace

ReplacingWriter::ReplacingWriter(const QString& path, FaultInjector* faults)
    : path_(path), faults_(faults) {
    try {
        posix::Fd present(path, O_RDONLY, posix::kNewFileMode, true, faults);
        struct stat st {};
        if (present.get() >= 0 && ::fstat(present.get(), &st) == 0) {
            presentSize_ = st.st_size;
            present_ = present.release();
        }
    } catch (const IoError&) {
        // Unreadable, a link or not a file: it is replaced, and the replacement says why if it
        // cannot be.
    }
}

ReplacingWriter::~ReplacingWriter() {
    if (present_ >= 0)
        ::close(present_);
}

qint64 ReplacingWriter::matching(const char* data, qint64 size) {
    if (present_ < 0)
        return 0;
    qint64 at = given_;
    const qint64 end = std::min(given_ + size, presentSize_);
    while (at < end) {
        if (at < windowStart_ || at >= windowStart_ + window_.size()) {
            window_.resize(static_cast<qsizetype>(std::min(kWindow, presentSize_ - at)));
            const qint64 got =
                posix::readAt(present_, at, window_.data(), window_.size(), path_, faults_);
            window_.resize(static_cast<qsizetype>(got));
            windowStart_ = at;
            if (got == 0)
                break; // cut short meanwhile
        }
        const qint64 part = std::min(end - at, windowStart_ + window_.size() - at);
        const char* mine = data + (at - given_);
        const char* theirs = window_.constData() + (at - windowStart_);
        if (std::memcmp(theirs, mine, static_cast<size_t>(part)) != 0)
            return std::mismatch(mine, mine + part, theirs).first - data;
        at += part;
    }
    return at - given_;
}

void ReplacingWriter::startNewFile() {
    writer_ = std::make_unique<FileWriter>(path_, FileWriter::Mode::Replace, 1, faults_);
    if (given_ == 0)
        return;
    // The part that matched, from the present file, through the kernel.
    if (::lseek(present_, 0, SEEK_SET) != 0)
        posix::fail(opRead, path_);
    writer_->copyFrom(present_, path_, given_);
    struct stat st {};
    if (::fstat(present_, &st) != 0)
        posix::fail(opRead, path_);
    if (st.st_size < given_)
        throw IoError(opRead, path_, QStringLiteral("Odczyt poza końcem pliku"));
}

void ReplacingWriter::write(const char* data, qint64 size) {
    if (!writer_) {
        const qint64 same = matching(data, size);
        given_ += same;
        if (same == size)
            return;
        startNewFile();
        data += same;
        size -= same;
    }
    writer_->write(QByteArrayView(data, size));
    given_ += size;
}

std::shared_ptr<const KeptFile> ReplacingWriter::finish() {
    if (!writer_) {
        struct stat st {};
        if (present_ >= 0 && ::fstat(present_, &st) == 0 && st.st_size == given_) {
            const int fd = present_;
            present_ = -1;
            return std::make_shared<const KeptFile>(fd, path_);
        }
        startNewFile();
    }
    std::shared_ptr<const KeptFile> kept = writer_->keep();
    writer_->commit();
    return kept;
}

std::unique_ptr<KeptFile> ReplacingWriter::takeReplaced() {
    if (present_ < 0)
        return nullptr;
    const int fd = present_;
    present_ = -1;
    return std::make_unique<KeptFile>(fd, path_);
}

} // namespace kestrana::files
