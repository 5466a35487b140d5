#include "platform/PosixFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace kestrana::files::posix {

qint64 readUpTo(int fd, char* data, qint64 length, const QString& path) {
    qint64 total = 0;
    while (total < length) {
        const ssize_t n = ::read(fd, data + total, static_cast<size_t>(length - total));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(QStringLiteral("Odczyt pliku"), path);
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

Fd::Fd(const QString& path, int flags, mode_t mode, bool mayBeGone) : path_(path) {
    do {
        fd_ = ::open(native(path).constData(), flags | O_CLOEXEC, mode);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0 && !(mayBeGone && errno == ENOENT))
        fail(QStringLiteral("Otwarcie pliku"), path);
}

Fd::~Fd() {
    if (fd_ >= 0)
        ::close(fd_);
}

void Fd::close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        fail(QStringLiteral("Zamknięcie pliku"), path_);
}

} // namespace kestrana::files::posix
