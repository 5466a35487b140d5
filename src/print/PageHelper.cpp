#include "print/PageHelper.h"

#include "print/ColourValue.h"
#include "print/Dialogs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrana {

int roundHalfEven(double value) {
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= double(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    if (rounded > double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(rounded);
}

PageMetrics computeMetrics(int dpiX, int dpiY, int corrX, int corrY) {
    PageMetrics m;
    m.corrX = corrX;
    m.corrY = corrY;
    m.dpiX = dpiX + roundHalfEven(corrX / 100.0 * dpiX);
    m.dpiY = dpiY + roundHalfEven(corrY / 100.0 * dpiY);
    m.dotsX = roundHalfEven(m.dpiX / 25.0);
    m.dotsY = roundHalfEven(m.dpiY / 25.0);
    return m;
}

int fontHeight(int points, int dpiY) {
    // The product is whole; the division by 72 is rounded exactly in integers.
    const qint64 product = qint64(points) * dpiY;
    qint64 quotient = product / 72;
    qint64 remainder = product % 72;
    if (remainder < 0) {
        remainder += 72;
        --quotient;
    }
    if (2 * remainder > 72 || (2 * remainder == 72 && (quotient & 1) != 0))
        ++quotient;
    return -int(quotient);
}

PageHelper::~PageHelper() {
    if (open_)
        surface_.abort();
}

void PageHelper::UstawStrone() {
    metrics_ = computeMetrics(surface_.dpiX(), surface_.dpiY());
}

void PageHelper::UstawPoziomo() {
    surface_.setLandscape(true);
}

void PageHelper::UstawPionowo() {
    surface_.setLandscape(false);
}

void PageHelper::Czcionka(const QString& face, int points) {
    if (!face.isEmpty())
        font_.face = face.left(31);
    font_.height = fontHeight(points, metrics_.dpiY);
    points_ = points;
}

void PageHelper::Pisz(int x, int y, const QString& text) {
    if (!open_)
        return;
    surface_.text(origin_.x() + x * metrics_.dotsX, origin_.y() + y * metrics_.dotsY, font_,
                  colour::toRgb(fontColour_), text);
}

void PageHelper::Ramka(int x, int y, int width, int height) {
    if (!open_)
        return;
    surface_.rect(origin_.x() + x * metrics_.dotsX, origin_.y() + y * metrics_.dotsY,
                  origin_.x() + (x + width) * metrics_.dotsX,
                  origin_.y() + (y + height) * metrics_.dotsY, colour::toRgb(penColour_));
}

void PageHelper::writeAtDots(int x, int y, const QString& text) {
    if (open_)
        surface_.text(origin_.x() + x, origin_.y() + y, font_, colour::toRgb(fontColour_), text);
}

void PageHelper::frameAtDots(int x1, int y1, int x2, int y2) {
    if (open_)
        surface_.rect(origin_.x() + x1, origin_.y() + y1, origin_.x() + x2, origin_.y() + y2,
                      colour::toRgb(penColour_));
}

QSize PageHelper::textSize(const QString& text) const {
    return surface_.textSize(font_, text);
}

QString PageHelper::writeFitted(int x, int y, int right, const QString& text, int minPoints) {
    // The cell must end short of the frame line, which lies on the last dot before `right`.
    const int room = (right - x) * metrics_.dotsX - 1;
    const SurfaceFont current = font_;
    const int currentPoints = points_;
    auto fits = [&](const QString& candidate) { return textSize(candidate).width() <= room; };
    QString written = text;
    if (!fits(text)) {
        // Height 0 is the platform's 10 points: smaller sizes count down from there.
        int points = currentPoints > 0 ? currentPoints : kPlatformPoints;
        const int floor = std::min(minPoints, points);
        bool fitted = false;
        while (points > floor && !fitted) {
            --points;
            font_.height = fontHeight(points, metrics_.dpiY);
            fitted = fits(text);
        }
        if (!fitted) {
            // The longest beginning that fits, found by halving.
            qsizetype good = 0;
            qsizetype bad = text.size();
            while (bad - good > 1) {
                const qsizetype middle = (good + bad) / 2;
                (fits(text.left(middle)) ? good : bad) = middle;
            }
            written = text.left(good);
        }
    }
    Pisz(x, y, written);
    font_ = current;
    return written;
}

void PageHelper::Pogrubienie(int value) {
    if (value == 1)
        font_.style = fontstyle::Bold;
    else if (value == 0)
        font_.style = 0;
}

void PageHelper::KolorCzcionki(std::int32_t colour) {
    fontColour_ = colour;
}

void PageHelper::KolorPiora(std::int32_t colour) {
    penColour_ = colour;
}

void PageHelper::RozpocznijWydruk(int corrX, int corrY) {
    metrics_ = computeMetrics(surface_.dpiX(), surface_.dpiY(), corrX, corrY);
    beginDocument();
}

void PageHelper::ZakonczWydruk() {
    if (!open_)
        return;
    // Whatever happens at the end, the document is over.
    open_ = false;
    surface_.end();
}

void PageHelper::beginDocument() {
    if (open_)
        return;
    surface_.begin();
    open_ = true;
}

void PageHelper::newPage() {
    if (open_)
        surface_.newPage();
}

void PageHelper::drawPicture(int x1, int y1, int x2, int y2, const QImage& picture) {
    if (open_ && !picture.isNull())
        surface_.image(origin_.x() + x1, origin_.y() + y1, origin_.x() + x2, origin_.y() + y2,
                       picture);
}

void PageHelper::setFontStyle(std::uint8_t style) {
    font_.style = style & fontstyle::All;
}

void PageHelper::useStoredFont(const PrintFont& font) {
    setFontStyle(font.style);
    KolorCzcionki(font.colour);
}

} // namespace kestrana
