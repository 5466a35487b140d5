#include "platform/PosixFile.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::files::posix {

namespace {

const QString opOpen = QStringLiteral("Otwarcie pliku");
const QString opRead = QStringLiteral("Odczyt pliku");
const QString opWrite = QStringLiteral("Zapis pliku");
const QString opClose = QStringLiteral("Zamknięcie pliku");

} // namespace

QString linkMessage() {
    return QStringLiteral("Ten plik jest dowiązaniem symbolicznym. Program nie czyta ani nie "
                          "zapisuje plików danych przez dowiązania: usuń dowiązanie albo zastąp "
                          "je zwykłym plikiem.");
}

QString notAFileMessage() {
    return QStringLiteral("W miejscu pliku danych jest coś, co nie jest zwykłym plikiem "
                          "(potok, urządzenie lub gniazdo); program go nie otwiera.");
}

void fail(const QString& operation, const QString& path) {
    const int error = errno;
    if (error == ELOOP)
        throw IoError(operation, path, error, linkMessage());
    throw IoError(operation, path, error);
}

void check(FaultInjector* faults, Call call, const QString& operation, const QString& path) {
    if (!allowed(faults, call, path))
        fail(operation, path);
}

namespace {

// Reads until `length` bytes or the end of the file; `readSome(at, count)` is one read of at
// most `count` bytes into data + at.
template <typename ReadSome>
qint64 readLoop(qint64 length, const QString& path, FaultInjector* faults,
                const ReadSome& readSome) {
    check(faults, Call::Read, opRead, path);
    qint64 total = 0;
    while (total < length) {
        const ssize_t n = readSome(total, static_cast<size_t>(length - total));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(opRead, path);
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

} // namespace

qint64 readUpTo(int fd, char* data, qint64 length, const QString& path, FaultInjector* faults) {
    return readLoop(length, path, faults,
                    [&](qint64 at, size_t count) { return ::read(fd, data + at, count); });
}

qint64 readAt(int fd, qint64 offset, char* data, qint64 length, const QString& path,
              FaultInjector* faults) {
    return readLoop(length, path, faults, [&](qint64 at, size_t count) {
        return ::pread(fd, data + at, count, static_cast<off_t>(offset + at));
    });
}

void readExactlyAt(int fd, qint64 offset, char* data, qint64 length, const QString& path,
                   FaultInjector* faults) {
    if (readAt(fd, offset, data, length, path, faults) != length)
        throw IoError(opRead, path, QStringLiteral("Odczyt poza końcem pliku"));
}

namespace {

// Writes all of `data` at `offset`, or at the descriptor's own offset when that is negative.
void writeLoop(int fd, qint64 offset, const char* data, qint64 length, const QString& path,
               FaultInjector* faults) {
    check(faults, Call::Write, opWrite, path);
    // At most 256 KB a call: a larger write makes the file's cache take memory in large blocks,
    // which on a virtual machine that hands free memory back to its host costs several times
    // the copy itself (a 1.7 GB file written in 1 MB calls took 1-4 s there, in 256 KB calls
    // 0.45 s); elsewhere the extra calls cost nothing measurable.
    constexpr qint64 kWritePiece = 256 << 10;
    while (length > 0) {
        qint64 chunk = std::min(length, kWritePiece);
        if (faults) {
            int error = 0;
            chunk = faults->writable(chunk, error);
            if (chunk == 0) {
                errno = error;
                fail(opWrite, path);
            }
        }
        const ssize_t n = offset < 0 ? ::write(fd, data, static_cast<size_t>(chunk))
                                     : ::pwrite(fd, data, static_cast<size_t>(chunk), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(opWrite, path);
        }
        if (faults)
            faults->wrote(n);
        data += n;
        length -= n;
        if (offset >= 0)
            offset += n;
    }
}

} // namespace

void writeAll(int fd, const char* data, qint64 length, const QString& path, FaultInjector* faults) {
    writeLoop(fd, -1, data, length, path, faults);
}

void writeAllAt(int fd, qint64 offset, const char* data, qint64 length, const QString& path,
                FaultInjector* faults) {
    writeLoop(fd, offset, data, length, path, faults);
}

Fd::Fd(const QString& path, int flags, mode_t mode, bool mayBeGone, FaultInjector* faults)
    : path_(path), faults_(faults) {
    check(faults, Call::Open, opOpen, path);
    do {
        fd_ = ::open(native(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        if (mayBeGone && errno == ENOENT)
            return;
        fail(opOpen, path);
    }
    if (flags & O_DIRECTORY)
        return;
    struct stat st {};
    const bool statted = ::fstat(fd_, &st) == 0;
    const int error = errno;
    if (statted && S_ISREG(st.st_mode))
        return;
    ::close(fd_);
    fd_ = -1;
    if (!statted) {
        errno = error;
        fail(opOpen, path);
    }
    if (S_ISDIR(st.st_mode))
        throw IoError(opOpen, path, EISDIR);
    // A pipe or a device planted where a file belongs: never read or written.
    throw IoError(opOpen, path, EINVAL, notAFileMessage());
}

Fd::~Fd() {
    if (fd_ >= 0)
        ::close(fd_);
}

void Fd::close() {
    const int fd = fd_;
    fd_ = -1;
    const bool injected = !allowed(faults_, Call::Close, path_);
    const int injectedError = errno;
    if (::close(fd) != 0 && errno != EINTR)
        fail(opClose, path_);
    if (injected) {
        errno = injectedError;
        fail(opClose, path_);
    }
}

} // namespace kestrana::files::posix
