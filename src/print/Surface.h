#pragma once

#include "print/Dialogs.h"

#include <QImage>
#include <QPageSize>
#include <QPoint>
#include <QRgb>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>

namespace kestrana {

class TextMeasurer;

// The printer font as the device receives it.
struct SurfaceFont {
    QString face;           // empty: the face the platform uses by default
    int height = 0;         // device dots; negative: character height, 0: platform default
    std::uint8_t style = 0; // fontstyle bits
};

// Where printouts end up: a printer or PDF file, or a trace of the device operations. All
// coordinates are device dots from the top-left corner of the printable area. A document runs
// begin(), drawing and newPage() calls, then end(); abort() drops an unfinished one.
class Surface {
public:
    Surface();
    virtual ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Logical dots per inch of the device.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    // Orientation for the next document; kept by the device between documents.
    virtual bool landscape() const = 0;
    virtual void setLandscape(bool landscape) = 0;

    // Each throws IoError when the device refuses (a PDF file that cannot be written, a
    // printer that reports an error).
    virtual void begin() = 0;
    virtual void newPage() = 0;
    virtual void end() = 0;
    // Drops the document begun; never throws (it runs while another failure is reported).
    virtual void abort() = 0;

    // Text with its top-left corner at (x, y) on an opaque white cell.
    virtual void text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) = 0;
    // A frame from (x1, y1) to (x2, y2), right and bottom edge excluded, one dot wide in the pen
    // colour and filled white.
    virtual void rect(int x1, int y1, int x2, int y2, QRgb pen) = 0;
    // A picture stretched into the rectangle from (x1, y1) to (x2, y2).
    virtual void image(int x1, int y1, int x2, int y2, const QImage& picture) = 0;

    // The paper of the next document, kept by the device between documents like the
    // orientation. A device that cannot change its paper (a trace) holds what it was given,
    // and an invalid size stands for its own page.
    virtual QPageSize paper() const { return {}; }
    virtual void setPaper(const QPageSize& paper) { (void)paper; }
    // Where the printable area, the origin of every position, lies on the paper now (its
    // size and orientation): device dots from the paper's top-left corner.
    virtual QPoint printableOrigin() const { return {}; }

    // The opaque cell `text` is painted on in `font`, in device dots (TextMetrics).
    QSize textSize(const SurfaceFont& font, const QString& text) const;

private:
    std::unique_ptr<TextMeasurer> measurer_;
};

} // namespace kestrana
