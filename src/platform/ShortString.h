#pragma once

#include <QString>
#include <QStringView>

// A short string field: one length byte L, then `width` character bytes in Windows-1250.
// Only the first L bytes count; a length byte above the width reads as the width.
namespace kestrana {

QString readShortString(const char* field, int width);

// Stores text cut silently to `width` characters; the bytes after the text are zeroed.
void writeShortString(char* field, int width, QStringView text);

// The stored bytes of a field without decoding (for byte-wise comparisons).
inline int shortStringLength(const char* field, int width) {
    const int length = static_cast<unsigned char>(field[0]);
    return length > width ? width : length;
}

} // namespace kestrana
