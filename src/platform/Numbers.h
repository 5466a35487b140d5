#pragma once

#include <QStringView>
#include <QtGlobal>

namespace kestrana {

// Reads a typed number the way the register reads them: leading blanks skipped, an optional
// sign, then the decimal digits up to the first other character. No digits read as 0; values
// beyond the 32-bit range are clamped to it.
int readLeadingInt(QStringView text);
// The same without the clamping, for callers that refuse what does not fit; digits beyond
// about 18 are not counted, so a very long number stays a very large one.
qint64 readLeadingNumber(QStringView text);

} // namespace kestrana
