#include "print/PainterSurface.h"

#include "platform/IoError.h"
#include "platform/PlainTarget.h"
#include "print/Dialogs.h"
#include "print/PageHelper.h"
#include "print/TextMetrics.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <algorithm>

namespace kestrana {

namespace {

const QString kBeginFailed = QStringLiteral("Nie można rozpocząć wydruku");
const QString kPrintFailed = QStringLiteral("Wydruk nie powiódł się");

} // namespace

PainterSurface::~PainterSurface() = default;

int PainterSurface::dpiX() const {
    return device().logicalDpiX();
}

int PainterSurface::dpiY() const {
    return device().logicalDpiY();
}

bool PainterSurface::landscape() const {
    return device().pageLayout().orientation() == QPageLayout::Landscape;
}

void PainterSurface::setLandscape(bool landscape) {
    device().setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PainterSurface::begin() {
    if (painter_.isActive())
        return;
    // A printout to a file replaces a file or nothing: never a pipe, a device or a folder.
    if (QFileInfo(target()).isAbsolute())
        files::refuseUnlessPlainTarget(target());
    if (!painter_.begin(&device()) || deviceFailed()) {
        if (painter_.isActive())
            painter_.end();
        QString reason = kBeginFailed;
        // A file that cannot be written is the usual cause; the platform says why.
        if (QFileInfo(target()).isAbsolute()) {
            const bool existed = QFile::exists(target());
            QFile probe(target());
            if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
                reason = probe.errorString();
            else if (!existed)
                probe.remove();
        }
        throw IoError(QStringLiteral("Rozpoczęcie wydruku"), target(), reason);
    }
    painter_.setBackgroundMode(Qt::TransparentMode);
}

void PainterSurface::newPage() {
    if (painter_.isActive() && !device().newPage())
        throw IoError(QStringLiteral("Nowa strona wydruku"), target(), kPrintFailed);
}

void PainterSurface::end() {
    if (!painter_.isActive())
        return;
    const bool ended = painter_.end();
    if (!ended || deviceFailed() || !outputWritten())
        throw IoError(QStringLiteral("Zakończenie wydruku"), target(), kPrintFailed);
}

void PainterSurface::abort() {
    if (!painter_.isActive())
        return;
    abandon();
    painter_.end();
    discard();
}

QFont PainterSurface::deviceFont(const SurfaceFont& font) const {
    return kestrana::deviceFont(font, dpiY());
}

void PainterSurface::text(int x, int y, const SurfaceFont& font, QRgb colour, const QString& text) {
    if (!painter_.isActive() || text.isEmpty())
        return;
    painter_.setFont(deviceFont(font));
    // The opaque cell, measured as every printout measures it before writing.
    painter_.fillRect(QRect(QPoint(x, y), textSize(font, text)), Qt::white);
    painter_.setPen(QColor(colour));
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), text);
}

void PainterSurface::rect(int x1, int y1, int x2, int y2, QRgb pen) {
    if (!painter_.isActive())
        return;
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    const int width = std::abs(x2 - x1);
    const int height = std::abs(y2 - y1);
    if (width == 0 || height == 0)
        return;
    painter_.setPen(QPen(QColor(pen), 1));
    painter_.setBrush(Qt::white);
    // A one-dot outline of QRect(l, t, w - 1, h - 1) covers exactly w by h dots.
    painter_.drawRect(QRect(left, top, width - 1, height - 1));
    painter_.setBrush(Qt::NoBrush);
}

void PainterSurface::image(int x1, int y1, int x2, int y2, const QImage& picture) {
    if (!painter_.isActive() || picture.isNull())
        return;
    painter_.drawImage(QRect(x1, y1, x2 - x1, y2 - y1).normalized(), picture);
}

QPageSize PainterSurface::paper() const {
    return device().pageLayout().pageSize();
}

void PainterSurface::setPaper(const QPageSize& paper) {
    if (paper.isValid())
        device().setPageSize(paper);
}

QPoint PainterSurface::printableOrigin() const {
    return device().pageLayout().paintRectPixels(dpiX()).topLeft();
}

PdfSurface::PdfSurface(const QString& path, int dpi)
    : path_(path), writer_(std::make_unique<QPdfWriter>(path)) {
    writer_->setResolution(dpi);
    writer_->setPageSize(QPageSize(QPageSize::A4));
    writer_->setCreator(QStringLiteral("Kestrana"));
}

PdfSurface::~PdfSurface() {
    abort();
}

QPagedPaintDevice& PdfSurface::device() const {
    return *writer_;
}

void PdfSurface::discard() {
    QFile::remove(path_);
}

bool PdfSurface::outputWritten() const {
    return QFileInfo(path_).size() > 0;
}

} // namespace kestrana
