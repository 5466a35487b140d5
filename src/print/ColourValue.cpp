#include "print/ColourValue.h"

namespace kestrana::colour {

QRgb toRgb(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    // 0x01 and 0x02 in the high byte select palette entries by their RGB: the low bytes count.
    if ((bits >> 24) > 0x02)
        return qRgb(0, 0, 0);
    return qRgb(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

std::int32_t fromColor(const QColor& colour) {
    if (!colour.isValid())
        return Black;
    const QRgb rgb = colour.rgb();
    return std::int32_t(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

} // namespace kestrana::colour
