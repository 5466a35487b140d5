#pragma once

#include "print/Dialogs.h"

#include <memory>

class QPrinter;
class QWidget;

namespace kestrana {

// The platform's dialogs over a parent window. One printer object serves the whole run, so
// the print dialog offers the printer and options chosen last.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);
    ~QtDialogs() override;
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::unique_ptr<Surface> choosePrinter(const QString& documentName) override;
    bool previewPrint(const QString& documentName, const PreviewDrawing& draw) override;
    QString openFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;

    // The shared printer, of the print dialog and of the print preview alike.
    QPrinter& printer();

private:
    // The shared printer named after the document, a PDF file when no printer is installed.
    QPrinter& printerFor(const QString& documentName);

    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace kestrana
