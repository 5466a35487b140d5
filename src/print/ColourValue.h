#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>

// Colours are kept in files and passed to the printouts as 32-bit values with red in the low
// byte, then green, then blue.
namespace kestrana::colour {

inline constexpr std::int32_t Black = 0x000000;
inline constexpr std::int32_t Red = 0x0000FF;
inline constexpr std::int32_t Teal = 0x808000;
// The window-text system colour that the font dialog offers before anything was chosen.
inline constexpr std::int32_t WindowText = std::int32_t(0x80000008u);

// System colours (high byte 0x80) and the special values print as black: they name screen
// elements, and every one a font could carry is a text colour.
QRgb toRgb(std::int32_t value);
inline QColor toColor(std::int32_t value) {
    return QColor(toRgb(value));
}
std::int32_t fromColor(const QColor& colour);

} // namespace kestrana::colour
