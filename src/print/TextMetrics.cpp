#include "print/TextMetrics.h"

#include "platform/Dialogs.h"
#include "print/PageHelper.h"

#include <QFontMetrics>

#include <algorithm>

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

} // namespace kestrana
