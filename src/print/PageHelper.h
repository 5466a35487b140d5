#pragma once

#include "print/Surface.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>

namespace kestrana {

// The size a font of height 0 (no size given) is painted in: the platform's default.
inline constexpr int kPlatformPoints = 10;

// The smallest size a printout draws a text in to keep it inside its frame: still legible on
// paper. Below it a text is cut rather than made smaller.
inline constexpr int kSmallestPrintPoints = 6;

// Grid metrics of a printer: one grid step is 1/25 inch.
struct PageMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int dotsX = 0;
    int dotsY = 0;
    int corrX = 0;
    int corrY = 0;

    friend bool operator==(const PageMetrics&, const PageMetrics&) = default;
};

// Metrics from the device's dots per inch and corrections in percent (0: none).
PageMetrics computeMetrics(int dpiX, int dpiY, int corrX = 0, int corrY = 0);
// The device height of a font of `points` points: -round(points * dpiY / 72), halves to even.
int fontHeight(int points, int dpiY);
// Nearest whole number, a half to the even neighbour.
int roundHalfEven(double value);

// The stored print font as a printout uses it: face and size from the current copies, style
// and colour from the shared font record.
struct PrintFont {
    QString face;
    int size = 0;
    std::uint8_t style = 0;
    std::int32_t colour = 0;
};

// The size of a printout's heading: 5 points above the print size, counted from the platform's
// size when the print font gives none (a heading never comes out smaller than the text).
inline int headingPoints(const PrintFont& font) {
    return (font.size > 0 ? font.size : kPlatformPoints) + 5;
}

// The printer page helper: text and frames on a grid of 1/25 inch over a Surface. One helper
// serves one print run and starts with a black pen, black plain text, the platform's face and
// height; the orientation is the surface's. A printout is a function that draws through it and
// nothing else. A document left open (an exception in a printout) is aborted on destruction.
class PageHelper {
public:
    explicit PageHelper(Surface& surface) : surface_(surface) {}
    ~PageHelper();
    PageHelper(const PageHelper&) = delete;
    PageHelper& operator=(const PageHelper&) = delete;

    // Measures the device without corrections.
    void UstawStrone();
    void UstawPoziomo();
    void UstawPionowo();
    // Face (cut to 31 characters; empty keeps the face) and height from points at dpiY.
    void Czcionka(const QString& face, int points);
    // Text with its top-left corner at grid position (x, y).
    void Pisz(int x, int y, const QString& text);
    // Frame from grid (x, y) over width and height steps, filled white.
    void Ramka(int x, int y, int width, int height);
    // 1: exactly bold; 0: plain; anything else: no change.
    void Pogrubienie(int value);
    void KolorCzcionki(std::int32_t colour);
    void KolorPiora(std::int32_t colour);
    // Measures with corrections in percent, then begins the document.
    void RozpocznijWydruk(int corrX, int corrY);
    // Ends the document: the job goes to the printer. Throws IoError when it fails.
    void ZakonczWydruk();

    // The opaque cell of `text` in the current font, in device dots.
    QSize textSize(const QString& text) const;
    // Writes `text` at grid (x, y) so that its cell ends before grid x `right` (a frame's right
    // side, whose line stays visible): at the current size, or smaller by whole points down to
    // `minPoints` when it is too wide there, and cut at its end only when it is too wide even
    // at `minPoints`. The current font is the same afterwards. Returns the text written.
    QString writeFitted(int x, int y, int right, const QString& text, int minPoints);
    // Text with its top-left corner at device dots (x, y), and a frame over device dots: for
    // layouts measured in millimetres (label sheets) rather than in grid steps.
    void writeAtDots(int x, int y, const QString& text);
    void frameAtDots(int x1, int y1, int x2, int y2);
    // Shifts everything drawn by `dots` device dots (a layout placed on another paper).
    void setOrigin(QPoint dots) { origin_ = dots; }

    // Begins the document (the printouts measure with UstawStrone right after).
    void beginDocument();
    void newPage();
    // A picture stretched into a rectangle given in device dots; a null picture draws nothing.
    void drawPicture(int x1, int y1, int x2, int y2, const QImage& picture);
    // Style bits of the printer font (fontstyle), as the stored font gives them.
    void setFontStyle(std::uint8_t style);
    // Style and colour of the stored print font.
    void useStoredFont(const PrintFont& font);

    const PageMetrics& metrics() const { return metrics_; }
    const SurfaceFont& font() const { return font_; }
    std::int32_t fontColour() const { return fontColour_; }
    std::int32_t penColour() const { return penColour_; }
    bool documentOpen() const { return open_; }
    Surface& surface() { return surface_; }

private:
    Surface& surface_;
    PageMetrics metrics_;
    SurfaceFont font_;
    int points_ = 0;
    QPoint origin_;
    std::int32_t fontColour_ = 0;
    std::int32_t penColour_ = 0;
    bool open_ = false;
};

} // namespace kestrana
