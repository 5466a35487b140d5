#pragma once

#include "print/Surface.h"

#include <QFont>
#include <QSize>
#include <QString>

namespace kestrana {

// The font a device paints a text of `font` in at `dpiY` dots per inch: a negative height is the
// character height in dots, 0 the platform's 10 points, a positive one the whole cell.
QFont deviceFont(const SurfaceFont& font, int dpiY);

// The opaque cell a text is painted on, in device dots: its advance by the font's ascent plus
// descent. Every surface paints and measures texts with this one geometry, so what a printout
// measures before it writes is what lands on paper.
QSize textCell(const SurfaceFont& font, int dpiY, const QString& text);

} // namespace kestrana
