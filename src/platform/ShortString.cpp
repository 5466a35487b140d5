#include "platform/ShortString.h"

#include "platform/CodePage.h"

#include <cstring>

namespace kestrana {

QString readShortString(const char* field, int width) {
    return cp1250::decode(field + 1, shortStringLength(field, width));
}

void writeShortString(char* field, int width, QStringView text) {
    QByteArray bytes = cp1250::encode(text);
    if (bytes.size() > width)
        bytes.truncate(width);
    std::memset(field, 0, static_cast<size_t>(width) + 1);
    field[0] = static_cast<char>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace kestrana
