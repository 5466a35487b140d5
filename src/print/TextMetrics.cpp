#include "print/TextMetrics.h"

#include "platform/Dialogs.h"
#include "print/PageHelper.h"

#include <QFontMetrics>

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

namespace {

// The metrics of the few fonts a printout uses, kept while it measures every cell of a long
// list; building them anew for each text costs more than the measuring.
const QFontMetrics& metricsOf(const SurfaceFont& font, int dpiY) {
    struct Entry {
        SurfaceFont font;
        int dpiY;
        QFontMetrics metrics;
    };
    thread_local std::vector<Entry> cache;
    for (const Entry& entry : cache) {
        if (entry.dpiY == dpiY && entry.font.height == font.height &&
            entry.font.style == font.style && entry.font.face == font.face)
            return entry.metrics;
    }
    constexpr std::size_t kKept = 16;
    if (cache.size() == kKept)
        cache.erase(cache.begin());
    cache.push_back({font, dpiY, QFontMetrics(deviceFont(font, dpiY))});
    return cache.back().metrics;
}

} // namespace

QSize textCell(const SurfaceFont& font, int dpiY, const QString& text) {
    if (text.isEmpty())
        return {};
    const QFontMetrics& metrics = metricsOf(font, dpiY);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

} // namespace kestrana
