#include "register/FileLock.h"

#include "platform/PosixFile.h"
#include "register/BatchAppend.h"
#include "station/LockWait.h"
#include "station/Workstation.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace kestrana {

namespace {

const QString opOpen = QStringLiteral("Otwarcie pliku blokady");
const QString opLock = QStringLiteral("Blokada pliku");

// One try; true when granted. Open-file-description locks belong to this descriptor, not the
// process, so two windows in one process exclude each other too. Where the kernel or share
// lacks them, classic POSIX record locks serve.
bool tryLock(int fd, bool& classic) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (;;) {
        const int rc = ::fcntl(fd, classic ? F_SETLK : F_OFD_SETLK, &lock);
        if (rc == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno == EINVAL && !classic) {
            classic = true;
            continue;
        }
        return false;
    }
}

} // namespace

FileLock::FileLock(const QString& lockPath, LockWait* wait, files::FaultInjector* faults)
    : path_(lockPath) {
    fd_ = files::posix::Fd(lockPath, O_RDWR | O_CREAT, files::posix::kNewFileMode, false, faults)
              .release();
    try {
        if (wait) {
            acquire(*wait, faults);
        } else {
            DeadlineWait bounded(kDefaultLockWait);
            acquire(bounded, faults);
        }
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

FileLock::FileLock(const Workstation& ws, const QString& lockPath)
    : FileLock(lockPath, ws.lockWait, ws.faults) {
    // Whoever holds the main file's lock works on whole entries: a batch whose appender was
    // killed is cut back first.
    if (!ws.server && lockPath == lockPathFor(ws.mainFile()))
        editing::cutBackInterruptedAppend(ws);
}

void FileLock::acquire(LockWait& wait, files::FaultInjector* faults) {
    files::posix::check(faults, files::Call::Lock, opLock, path_);
    bool classic = false;
    if (tryLock(fd_, classic))
        return;
    const auto start = std::chrono::steady_clock::now();
    auto pause = std::chrono::milliseconds(5);
    for (;;) {
        if (errno != EAGAIN && errno != EACCES) {
            const int error = errno;
            wait.ended();
            errno = error;
            files::posix::fail(opLock, path_);
        }
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        if (!wait.keepWaiting(waited)) {
            wait.ended();
            throw LockNotGranted(path_, wait.gaveUpText(waited));
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
        if (tryLock(fd_, classic)) {
            wait.ended();
            return;
        }
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the descriptor releases the lock
}

LockNotGranted::LockNotGranted(const QString& lockPath, const QString& message)
    : IoError(opLock, lockPath, EAGAIN, message) {}

QString lockPathFor(const QString& dataFile) {
    const qsizetype dot = dataFile.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = dataFile.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? dataFile.left(dot) : dataFile;
    return stem + QStringLiteral(".lck");
}

} // namespace kestrana
