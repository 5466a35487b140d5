#pragma once

#include "platform/FaultInjector.h"

#include <QString>

// Whole files copied by the kernel: copy_file_range moves the bytes without passing them through
// the program, and a file system that can share blocks between files does so.
namespace kestrana::files {

// Writes everything from the current offset of `from` to its end (at most `limit` bytes when
// that is not negative) at the current offset of `to` (both descriptors open, both offsets moved
// on). Where the kernel refuses to copy between
// these files (another file system, an older kernel, a special file), the bytes go through a
// buffer instead. Returns the bytes copied. Throws IoError on a failed read or write.
qint64 copyContent(int from, const QString& fromPath, int to, const QString& toPath,
                   qint64 limit = -1, FaultInjector* faults = nullptr);

// Copies the plain file `from` to the new file `to` (created exclusively, mode 0666 under the
// umask, never through a link), through the kernel where it can. A failed copy leaves no `to`
// behind. Throws IoError.
void copyNewFile(const QString& from, const QString& to, FaultInjector* faults = nullptr);

} // namespace kestrana::files
