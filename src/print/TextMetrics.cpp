#include "print/TextMetrics.h"

#include "print/Dialogs.h"
#include "print/PageHelper.h"

#include <algorithm>
#include <vector>

namespace kestrana {

QFont deviceFont(const SurfaceFont& font, int dpiY) {
    QFont f;
    f.setStyleName(QString());
    if (!font.face.isEmpty())
        f.setFamily(font.face);
    int pixels = 0;
    if (font.height < 0) {
        pixels = -font.height;
    } else if (font.height == 0) {
        pixels = roundHalfEven(double(kPlatformPoints) * dpiY / 72.0);
    } else {
        // A positive height is the whole cell, internal leading included.
        f.setPixelSize(font.height);
        const int cell = QFontMetrics(f).height();
        pixels = cell > 0 ? roundHalfEven(double(font.height) * font.height / cell) : font.height;
    }
    f.setPixelSize(std::max(1, pixels));
    f.setBold(font.style & fontstyle::Bold);
    f.setItalic(font.style & fontstyle::Italic);
    f.setUnderline(font.style & fontstyle::Underline);
    f.setStrikeOut(font.style & fontstyle::StrikeOut);
    return f;
}

QSize textCell(const SurfaceFont& font, int dpiY, const QString& text) {
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics(deviceFont(font, dpiY));
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QSize TextMeasurer::cell(const SurfaceFont& font, int dpiY, const QString& text) {
    if (text.isEmpty())
        return {};
    auto kept = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
        return k.dpiY == dpiY && k.font.height == font.height && k.font.style == font.style &&
               k.font.face == font.face;
    });
    if (kept == kept_.end()) {
        constexpr std::size_t kFonts = 16;
        if (kept_.size() == kFonts)
            kept_.erase(kept_.begin());
        kept_.push_back({font, dpiY, QFontMetrics(deviceFont(font, dpiY))});
        kept = kept_.end() - 1;
    }
    return {kept->metrics.horizontalAdvance(text), kept->metrics.height()};
}

} // namespace kestrana
