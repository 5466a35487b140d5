#pragma once

#include "print/PainterSurface.h"

#include <memory>

class QPrinter;

namespace kestrana {

// A printer chosen in the print dialog (or a print preview's printer, or a PDF file that
// QPrinter writes) as a surface. The origin is the printable area's corner.
class PrinterSurface : public PainterSurface {
public:
    // A printer that lives elsewhere (the program's shared printer, a preview's printer).
    explicit PrinterSurface(QPrinter& printer);
    // A printer of its own.
    explicit PrinterSurface(std::unique_ptr<QPrinter> printer);
    ~PrinterSurface() override;

    QPrinter& printer() const { return *printer_; }

protected:
    QPagedPaintDevice& device() const override;
    QString target() const override;
    bool deviceFailed() const override;
    void abandon() override;
    void discard() override;

private:
    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_;
};

} // namespace kestrana
