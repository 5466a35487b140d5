#pragma once

#include "print/Surface.h"

#include <QFont>
#include <QFontMetrics>
#include <QSize>
#include <QString>

#include <vector>

namespace kestrana {

// The font a device paints a text of `font` in at `dpiY` dots per inch: a negative height is the
// character height in dots, 0 the platform's 10 points, a positive one the whole cell.
QFont deviceFont(const SurfaceFont& font, int dpiY);

// The opaque cell a text is painted on, in device dots: its advance by the font's ascent plus
// descent. Every surface paints and measures texts with this one geometry, so what a printout
// measures before it writes is what lands on paper.
QSize textCell(const SurfaceFont& font, int dpiY, const QString& text);

// The same, keeping the metrics of the last few fonts: a printout measures every cell of a long
// list in the same fonts, and building the metrics costs more than the measuring. One belongs to
// one surface and goes with it, before the application's fonts do.
class TextMeasurer {
public:
    QSize cell(const SurfaceFont& font, int dpiY, const QString& text);

private:
    struct Kept {
        SurfaceFont font;
        int dpiY;
        QFontMetrics metrics;
    };
    std::vector<Kept> kept_;
};

} // namespace kestrana
