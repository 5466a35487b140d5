#pragma once

#include "envelope/EnvelopeFields.h"
#include "envelope/EnvelopeLayout.h"
#include "print/PageHelper.h"
#include "print/PrintRun.h"

#include <QImage>
#include <QString>

namespace kestrana {

// The print job's name in the print dialog and the printer queue.
inline QString envelopeDocumentName() {
    return QStringLiteral("Koperta");
}
// The print job with the file the print dialog proposes: "Koperta" and the recipient's first
// line ("Koperta Jan Kowalski").
PrintDocument envelopePrintDocument(const EnvelopeFields& fields);

// Puts one envelope on paper through the page helper and nothing else: orientation, the
// document, the grid, the logo stretched into its device rectangle, the print font, the sender
// lines, the form of address and the recipient lines, in this order; every line is written,
// empty ones too. The printer is left in portrait whatever happens. `logo` is the picture the
// layout's rectangle was made for (a null picture draws nothing).
void printEnvelope(PageHelper& page, const PrintFont& font, const EnvelopeLayout& layout,
                   const QImage& logo);

// The paper and orientation of the envelope documents drawn while it lives: the envelope's
// paper, with the layout shifted so that it lies where it lay on the printer's page in that
// orientation (the printable area may begin elsewhere on other paper). When it goes, an
// unfinished document is dropped, and the printer's page and portrait are back.
class EnvelopePaperScope {
public:
    EnvelopePaperScope(PageHelper& page, bool landscape, EnvelopePaper paper);
    ~EnvelopePaperScope();
    EnvelopePaperScope(const EnvelopePaperScope&) = delete;
    EnvelopePaperScope& operator=(const EnvelopePaperScope&) = delete;

private:
    PageHelper& page_;
    QPageSize printerPage_;
    bool changed_ = false;
};

// One envelope's page of a document already begun and measured: the logo, the sender lines, the
// form of address and the recipient lines.
void drawEnvelope(PageHelper& page, const PrintFont& font, const EnvelopeLayout& layout,
                  const QImage& logo);

// The printout of the window's values and held picture, for a print run (printer, PDF, trace
// or preview): the logo is drawn only when the window would print it.
Printout envelopePrintout(const EnvelopeFields& fields, const LogoPicture& picture);

} // namespace kestrana
