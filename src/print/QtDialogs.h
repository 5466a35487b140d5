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
    std::unique_ptr<Surface> choosePrinter(const PrintDocument& document) override;
    bool previewPrint(const PrintDocument& document, const PreviewDrawing& draw) override;
    QString openFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    // In QtChoiceDialog.cpp.
    int choose(const QString& caption, const QString& summary, const QString& details,
               const QStringList& buttons) override;
    std::optional<TakeOverAnswer> chooseTakeOver(const QString& caption, const QString& report,
                                                 const QList<TakeOverItem>& items) override;
    int chooseItem(const QString& caption, const QString& text, const QStringList& items) override;

    // The shared printer, of the print dialog and of the print preview alike.
    QPrinter& printer();

    // Where proposed PDF files go: the user's documents folder (the home folder when there is
    // none); tests choose another.
    QString documentsFolder() const;
    void setDocumentsFolder(const QString& folder) { documentsFolder_ = folder; }
    // The PDF file proposed for a document: its file name, made safe, in the documents folder.
    QString proposedPdf(const PrintDocument& document) const;

private:
    // The shared printer named after the document. Printing to a file (no printer installed,
    // or a file chosen last time), it proposes this document's own PDF file.
    QPrinter& printerFor(const PrintDocument& document);

    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
    QString documentsFolder_;
};

} // namespace kestrana
