#include "platform/Numbers.h"

#include <cstdint>
#include <limits>

namespace kestrana {

qint64 readLeadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Past this, more digits change nothing that a caller could accept.
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 10 - 9;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        if (value <= limit)
            value = value * 10 + (text[i].unicode() - '0');
    }
    return negative ? -value : value;
}

int readLeadingInt(QStringView text) {
    const qint64 value = readLeadingNumber(text);
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace kestrana
