#pragma once

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

// Throws IoError for `operation` on `path` with the current errno.
[[noreturn]] inline void fail(const QString& operation, const QString& path) {
    throw IoError(operation, path, errno);
}

// Reads up to `length` bytes; fewer only at the end of the file.
qint64 readUpTo(int fd, char* data, qint64 length, const QString& path);

class Fd {
public:
    // With `mayBeGone`, a missing file leaves the descriptor invalid (get() < 0) instead of
    // failing.
    Fd(const QString& path, int flags, mode_t mode = 0644, bool mayBeGone = false);
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting a failed close (a network share may report a failed write here).
    void close();

private:
    QString path_;
    int fd_ = -1;
};

} // namespace kestrana::files::posix
