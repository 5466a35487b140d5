#pragma once

#include <QStringView>

namespace kestrana {

// Reads a typed number the way the register reads them: leading blanks skipped, an optional
// sign, then the decimal digits up to the first other character. No digits read as 0; values
// beyond the 32-bit range are clamped to it.
int readLeadingInt(QStringView text);

} // namespace kestrana
