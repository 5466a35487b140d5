#include "register/FileLock.h"

#include "platform/IoError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kestrana {

FileLock::FileLock(const QString& lockPath) {
    do {
        fd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw IoError(QStringLiteral("Otwarcie pliku blokady"), lockPath, errno);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    // Open-file-description locks belong to this descriptor, not the process, so two windows in
    // one process exclude each other too. Where the kernel or share lacks them, fall back to
    // classic POSIX record locks.
    int rc;
    do {
        rc = ::fcntl(fd_, F_OFD_SETLKW, &lock);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EINVAL) {
        do {
            rc = ::fcntl(fd_, F_SETLKW, &lock);
        } while (rc != 0 && errno == EINTR);
    }
    if (rc != 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        throw IoError(QStringLiteral("Blokada pliku"), lockPath, error);
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the descriptor releases the lock
}

QString lockPathFor(const QString& dataFile) {
    const qsizetype dot = dataFile.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = dataFile.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? dataFile.left(dot) : dataFile;
    return stem + QStringLiteral(".lck");
}

} // namespace kestrana
