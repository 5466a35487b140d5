#include "print/Surface.h"

#include "print/TextMetrics.h"

namespace kestrana {

QSize Surface::textSize(const SurfaceFont& font, const QString& text) const {
    return textCell(font, dpiY(), text);
}

} // namespace kestrana
