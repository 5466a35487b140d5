#include "print/QtPrinterSurface.h"

#include <QFile>
#include <QPrinter>

namespace kestrana {

PrinterSurface::PrinterSurface(QPrinter& printer) : printer_(&printer) {
    printer_->setFullPage(false);
}

PrinterSurface::PrinterSurface(std::unique_ptr<QPrinter> printer)
    : owned_(std::move(printer)), printer_(owned_.get()) {
    printer_->setFullPage(false);
}

PrinterSurface::~PrinterSurface() {
    abort();
}

QPagedPaintDevice& PrinterSurface::device() const {
    return *printer_;
}

QString PrinterSurface::target() const {
    if (!printer_->outputFileName().isEmpty())
        return printer_->outputFileName();
    return printer_->printerName();
}

bool PrinterSurface::deviceFailed() const {
    return printer_->printerState() == QPrinter::Error;
}

void PrinterSurface::abandon() {
    printer_->abort();
}

void PrinterSurface::discard() {
    // A PDF cannot be taken back once begun; an unfinished one is removed instead.
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty())
        QFile::remove(printer_->outputFileName());
}

} // namespace kestrana
