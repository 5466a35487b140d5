#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kestrana {

// Decodes a JPEG picture (grey, RGB/YCbCr or CMYK) with libjpeg. Anything that is not a
// readable JPEG (empty, cut short, damaged, another format) throws IoError with a Polish
// message; the process never ends and nothing leaks.
QImage decodeJpeg(const QByteArray& data, const QString& path = {});
// Reads the file and decodes it; a failed read throws IoError with the platform's text.
QImage loadJpeg(const QString& path);

// Pictures larger than this many pixels are refused rather than allocated.
inline constexpr qint64 kMaxJpegPixels = 100'000'000;

} // namespace kestrana
