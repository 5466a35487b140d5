#include "platform/KernelCopy.h"

#include "platform/CheckedFile.h"
#include "platform/PosixFile.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kestrana::files {

namespace {

const QString opRead = QStringLiteral("Odczyt pliku");
const QString opWrite = QStringLiteral("Zapis pliku");

bool refusedByKernel(int error) {
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL ||
           error == EBADF || error == ETXTBSY;
}

qint64 copyThroughBuffer(int from, const QString& fromPath, int to, const QString& toPath,
                         qint64 limit, FaultInjector* faults) {
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 wanted =
            limit < 0 ? buffer.size() : std::min<qint64>(buffer.size(), limit - total);
        const qint64 n =
            wanted == 0 ? 0 : posix::readUpTo(from, buffer.data(), wanted, fromPath, faults);
        if (n == 0)
            return total;
        posix::writeAll(to, buffer.constData(), n, toPath, faults);
        total += n;
    }
}

} // namespace

qint64 copyContent(int from, const QString& fromPath, int to, const QString& toPath, qint64 limit,
                   FaultInjector* faults) {
    // A test's full disk is a budget the kernel does not know: such writes go through the buffer.
    if (faults && faults->hasWriteBudget())
        return copyThroughBuffer(from, fromPath, to, toPath, limit, faults);
    if (!allowed(faults, Call::KernelCopy, toPath)) {
        if (!refusedByKernel(errno))
            posix::fail(opWrite, toPath);
        return copyThroughBuffer(from, fromPath, to, toPath, limit, faults);
    }
    posix::check(faults, Call::Read, opRead, fromPath);
    posix::check(faults, Call::Write, opWrite, toPath);
    qint64 total = 0;
    for (;;) {
        const qint64 wanted =
            limit < 0 ? qint64(1) << 30 : std::min(qint64(1) << 30, limit - total);
        if (wanted == 0)
            return total;
        const ssize_t n =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(wanted), 0);
        if (n > 0) {
            total += n;
            continue;
        }
        if (n == 0)
            return total;
        if (errno == EINTR)
            continue;
        if (refusedByKernel(errno))
            break; // the offsets stand where the kernel stopped
        // Which side failed the kernel does not say; a read error is the likelier from EIO.
        posix::fail(errno == EIO ? opRead : opWrite, errno == EIO ? fromPath : toPath);
    }
    return total +
           copyThroughBuffer(from, fromPath, to, toPath, limit < 0 ? -1 : limit - total, faults);
}

void copyNewFile(const QString& from, const QString& to, FaultInjector* faults) {
    posix::Fd source(from, O_RDONLY, posix::kNewFileMode, false, faults);
    posix::Fd target(to, O_WRONLY | O_CREAT | O_EXCL, posix::kNewFileMode, false, faults);
    try {
        copyContent(source.get(), from, target.get(), to, -1, faults);
        target.close();
    } catch (const IoError&) {
        ::unlink(posix::native(to).constData());
        throw;
    }
    source.close();
}

} // namespace kestrana::files
