#include "register/Preselection.h"

#include "platform/ShortString.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace kestrana {

namespace {

std::string_view storedText(const char* record, int offset, int width) {
    const char* field = record + offset;
    return {field + 1, static_cast<size_t>(shortStringLength(field, width))};
}

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

// Ordinal comparison of the bytes as unsigned characters; a proper prefix is the smaller.
bool before(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c < 0 || (c == 0 && a.size() < b.size());
}

} // namespace

bool Preselection::admits(const char* record) const {
    for (const Byte& b : bytes) {
        if (static_cast<unsigned char>(record[b.offset]) != b.value)
            return false;
    }
    for (const Range& r : ranges) {
        const std::string_view text = storedText(record, r.offset, r.width);
        if (before(text, view(r.from)) || before(view(r.to), text))
            return false;
    }
    for (const Text& t : texts) {
        const std::string_view text = storedText(record, t.offset, t.width);
        if (!t.bytes.isEmpty() && text.find(view(t.bytes)) == std::string_view::npos)
            return false;
    }
    return true;
}

} // namespace kestrana
