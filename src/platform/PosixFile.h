#pragma once

#include "platform/FaultInjector.h"
#include "platform/IoError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <sys/types.h>

// What the checked file layer builds on: file names as the system takes them, failures with the
// platform's text, and descriptors that are closed on every way out.
namespace kestrana::files::posix {

inline QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// What the user is told when a symbolic link stands where a data file belongs.
QString linkMessage();
// ... and when something else that is not a plain file does (a pipe, a device).
QString notAFileMessage();

// Throws IoError for `operation` on `path` with the current errno; a link refused by O_NOFOLLOW
// is named as such.
[[noreturn]] void fail(const QString& operation, const QString& path);

// Throws IoError for `operation` on `path` when the injector fails this call.
void check(FaultInjector* faults, Call call, const QString& operation, const QString& path);

// Reads up to `length` bytes; fewer only at the end of the file.
qint64 readUpTo(int fd, char* data, qint64 length, const QString& path,
                FaultInjector* faults = nullptr);

// The same at `offset`, leaving the descriptor's offset alone (threads may share it).
qint64 readAt(int fd, qint64 offset, char* data, qint64 length, const QString& path,
              FaultInjector* faults = nullptr);
// Exactly `length` bytes at `offset`; a file that ends before is an error.
void readExactlyAt(int fd, qint64 offset, char* data, qint64 length, const QString& path,
                   FaultInjector* faults = nullptr);

// Writes all `length` bytes (a test's write budget counts them).
void writeAll(int fd, const char* data, qint64 length, const QString& path,
              FaultInjector* faults = nullptr);
// The same at `offset`, leaving the descriptor's offset alone (threads may share it).
void writeAllAt(int fd, qint64 offset, const char* data, qint64 length, const QString& path,
                FaultInjector* faults = nullptr);

// Files are created with mode 0666: the user's umask and a set-gid folder decide the rest.
inline constexpr mode_t kNewFileMode = 0666;

class Fd {
public:
    // Opens without following a symbolic link at the last component and without blocking on a
    // pipe; anything but a plain file (or a folder, with O_DIRECTORY) is refused. With
    // `mayBeGone`, a missing file leaves the descriptor invalid (get() < 0) instead of failing.
    Fd(const QString& path, int flags, mode_t mode = kNewFileMode, bool mayBeGone = false,
       FaultInjector* faults = nullptr);
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Hands the descriptor over to the caller, who closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, reporting a failed close (a network share may report a failed write here).
    void close();

private:
    QString path_;
    int fd_ = -1;
    FaultInjector* faults_ = nullptr;
};

} // namespace kestrana::files::posix
