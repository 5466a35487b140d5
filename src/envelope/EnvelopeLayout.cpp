#include "envelope/EnvelopeLayout.h"

#include "platform/Numbers.h"

#include <cstdint>
#include <limits>

namespace kestrana {

namespace {

// Positions are summed in 64 bits; what lies beyond the 32-bit range is far off the page
// anyway and is held at its edge rather than wrapped round.
int clampToInt(std::int64_t v) {
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// pixels × 2.5, rounded to the nearest whole dot, a half to the even neighbour.
std::int64_t halfEvenDots(std::int64_t pixels) {
    const std::int64_t fives = pixels * 5;
    std::int64_t q = fives / 2;
    const std::int64_t r = fives - q * 2; // -1, 0 or 1
    if (r < 0)
        --q; // floor
    if (r != 0 && q % 2 != 0)
        ++q; // of floor and floor + 1, the even one
    return q;
}

// pixels × 2.5 cut toward zero.
std::int64_t truncatedDots(std::int64_t pixels) {
    return pixels * 5 / 2;
}

int number(const QString& text) {
    return readLeadingInt(text);
}

} // namespace

LogoRect logoRect(int left, int top, QSize picture) {
    LogoRect r;
    r.left = clampToInt(halfEvenDots(left));
    r.top = clampToInt(halfEvenDots(top));
    r.right = clampToInt(truncatedDots(std::int64_t(left) + picture.width()));
    r.bottom = clampToInt(truncatedDots(std::int64_t(top) + picture.height()));
    return r;
}

EnvelopeLayout layoutEnvelope(const EnvelopeFields& fields, QSize logo) {
    const EnvelopeSettings& s = fields.settings;
    const std::int64_t spacing = number(s.spacing);
    const std::int64_t senderLeft = number(s.senderLeft);
    const std::int64_t senderTop = number(s.senderTop);
    const int size = selectedSize(fields) - 1;
    const std::int64_t left = number(s.left[size]);
    const std::int64_t top = number(s.top[size]);

    EnvelopeLayout layout;
    layout.landscape = fields.landscape;
    layout.paper = fields.paper;
    if (logo.width() > 0 && logo.height() > 0)
        layout.logo = logoRect(number(fields.logo.left), number(fields.logo.top), logo);

    std::int64_t line = senderTop;
    for (int k = 0; k < 4; ++k) {
        layout.sender[k] = {clampToInt(senderLeft), clampToInt(line + 1), s.sender[k]};
        line += spacing;
    }

    line = senderTop;
    layout.form = {clampToInt(left), clampToInt(top), fields.form};
    line += spacing;
    for (int k = 0; k < 4; ++k) {
        layout.recipient[k] = {clampToInt(left + 5), clampToInt(top + line), fields.recipient[k]};
        line += spacing;
    }
    return layout;
}

} // namespace kestrana
