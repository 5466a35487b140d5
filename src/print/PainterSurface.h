#pragma once

#include "print/Surface.h"

#include <QPainter>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;

namespace kestrana {

// A surface that paints on a paged device (a printer or a PDF writer) through QPainter.
class PainterSurface : public Surface {
public:
    ~PainterSurface() override;

    int dpiX() const override;
    int dpiY() const override;
    bool landscape() const override;
    void setLandscape(bool landscape) override;

    void begin() override;
    void newPage() override;
    void end() override;
    void abort() override;

    void text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) override;
    void rect(int x1, int y1, int x2, int y2, QRgb pen) override;
    void image(int x1, int y1, int x2, int y2, const QImage& picture) override;

    QPageSize paper() const override;
    void setPaper(const QPageSize& paper) override;
    QPoint printableOrigin() const override;

    // The font a text of `font` is painted in (for height 0 the platform's 10 points).
    QFont deviceFont(const SurfaceFont& font) const;

protected:
    virtual QPagedPaintDevice& device() const = 0;
    // Where the output goes, for error messages.
    virtual QString target() const = 0;
    // A device error the painter does not report (a printer in its error state).
    virtual bool deviceFailed() const { return false; }
    // Whether the ended document really reached its output (a PDF file on a full disk).
    virtual bool outputWritten() const { return true; }
    // Cancels the device's job before the painter ends, where the device can.
    virtual void abandon() {}
    // Drops the device's unfinished output; the painter has ended.
    virtual void discard() {}

    QPainter painter_;
};

// A PDF file written directly, without a printer: A4, one resolution in both directions.
class PdfSurface : public PainterSurface {
public:
    PdfSurface(const QString& path, int dpi);
    ~PdfSurface() override;

protected:
    QPagedPaintDevice& device() const override;
    QString target() const override { return path_; }
    void discard() override;
    bool outputWritten() const override;

private:
    QString path_;
    std::unique_ptr<QPdfWriter> writer_;
};

} // namespace kestrana
