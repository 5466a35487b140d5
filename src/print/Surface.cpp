#include "print/Surface.h"

#include "print/TextMetrics.h"

namespace kestrana {

Surface::Surface() : measurer_(std::make_unique<TextMeasurer>()) {}

Surface::~Surface() = default;

QSize Surface::textSize(const SurfaceFont& font, const QString& text) const {
    return measurer_->cell(font, dpiY(), text);
}

} // namespace kestrana
