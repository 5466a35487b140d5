#pragma once

#include <QString>

namespace kestrana::files {

// A file that is written as a whole (replaced, exported, printed to) may take the place of a
// plain file or of nothing, never of a link, a pipe, a device, a socket or a folder: renamed
// over, such a thing would be gone, and written into, a pipe would block and a device would
// swallow the data. Throws IoError naming what stands there; a missing target passes.
void refuseUnlessPlainTarget(const QString& path);

} // namespace kestrana::files
