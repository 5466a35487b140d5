#include "platform/DurableFile.h"

#include "platform/PosixFile.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kestrana::files {

namespace {

const QString opWrite = QStringLiteral("Zapis pliku");
const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QString opRemove = QStringLiteral("Usunięcie pliku");

using posix::check;
using posix::fail;
using posix::native;

// Makes a file's creation or removal durable. A folder that cannot be opened or flushed (some
// shares refuse it) leaves the change to the share's own write-back.
void syncFolderOf(const QString& path, FaultInjector* faults) {
    const QString dir = QFileInfo(path).absolutePath();
    check(faults, Call::Sync, opSync, dir);
    const int fd = ::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0 && error != EINVAL && error != ENOTSUP) {
        errno = error;
        fail(opSync, dir);
    }
}

} // namespace

void syncDescriptor(int fd, const QString& path, FaultInjector* faults) {
    check(faults, Call::Sync, opSync, path);
    if (::fsync(fd) != 0)
        fail(opSync, path);
}

void writeDurably(const QString& path, QByteArrayView data, FaultInjector* faults) {
    posix::Fd fd(path, O_WRONLY | O_CREAT | O_TRUNC, posix::kNewFileMode, false, faults);
    posix::writeAll(fd.get(), data.data(), data.size(), path, faults);
    syncDescriptor(fd.get(), path, faults);
    fd.close();
    syncFolderOf(path, faults);
}

void removeDurably(const QString& path, FaultInjector* faults) {
    check(faults, Call::Write, opRemove, path);
    if (::unlink(native(path).constData()) != 0) {
        if (errno == ENOENT)
            return;
        fail(opRemove, path);
    }
    syncFolderOf(path, faults);
}

void cutTo(int fd, qint64 length, const QString& path, FaultInjector* faults) {
    check(faults, Call::Write, opWrite, path);
    int rc;
    do {
        rc = ::ftruncate(fd, static_cast<off_t>(length));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        fail(opWrite, path);
    syncDescriptor(fd, path, faults);
}

} // namespace kestrana::files
