#include "envelope/EnvelopePrintout.h"

namespace kestrana {

namespace {

void write(PageHelper& page, const EnvelopeText& line) {
    page.Pisz(line.x, line.y, line.text);
}

} // namespace

EnvelopePaperScope::EnvelopePaperScope(PageHelper& page, bool landscape, EnvelopePaper paper)
    : page_(page) {
    if (landscape)
        page.UstawPoziomo();
    else
        page.UstawPionowo();
    const QPageSize size = envelopePageSize(paper);
    if (!size.isValid())
        return;
    Surface& surface = page.surface();
    const QPoint designed = surface.printableOrigin();
    printerPage_ = surface.paper();
    surface.setPaper(size);
    changed_ = true;
    page.setOrigin(designed - surface.printableOrigin());
}

EnvelopePaperScope::~EnvelopePaperScope() {
    // A printer keeps its paper and orientation while a job is open: the job goes first.
    if (page_.documentOpen())
        page_.surface().abort();
    if (changed_)
        page_.surface().setPaper(printerPage_);
    page_.setOrigin({});
    page_.UstawPionowo();
}

void printEnvelope(PageHelper& page, const PrintFont& font, const EnvelopeLayout& layout,
                   const QImage& logo) {
    EnvelopePaperScope paper(page, layout.landscape, layout.paper);
    page.beginDocument();
    page.UstawStrone();
    drawEnvelope(page, font, layout, logo);
    page.ZakonczWydruk();
}

void drawEnvelope(PageHelper& page, const PrintFont& font, const EnvelopeLayout& layout,
                  const QImage& logo) {
    if (layout.logo)
        page.drawPicture(layout.logo->left, layout.logo->top, layout.logo->right,
                         layout.logo->bottom, logo);
    page.Czcionka(font.face, font.size);
    for (const EnvelopeText& line : layout.sender)
        write(page, line);
    page.Czcionka(font.face, font.size);
    write(page, layout.form);
    for (const EnvelopeText& line : layout.recipient)
        write(page, line);
}

PrintDocument envelopePrintDocument(const EnvelopeFields& fields) {
    const QString name = envelopeDocumentName();
    return PrintDocument(name, (name + QLatin1Char(' ') + fields.recipient[0]).trimmed());
}

Printout envelopePrintout(const EnvelopeFields& fields, const LogoPicture& picture) {
    const QImage logo = logoToPrint(fields, picture);
    return [fields, logo](PageHelper& page, const PrintFont& font) {
        printEnvelope(page, font, layoutEnvelope(fields, logo.size()), logo);
    };
}

} // namespace kestrana
