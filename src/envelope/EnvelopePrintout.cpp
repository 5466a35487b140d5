#include "envelope/EnvelopePrintout.h"

namespace kestrana {

namespace {

// Puts the printer back to portrait on every way out, a failed end of the document included.
class PortraitAfterwards {
public:
    explicit PortraitAfterwards(PageHelper& page) : page_(page) {}
    ~PortraitAfterwards() { page_.UstawPionowo(); }
    PortraitAfterwards(const PortraitAfterwards&) = delete;
    PortraitAfterwards& operator=(const PortraitAfterwards&) = delete;

private:
    PageHelper& page_;
};

void write(PageHelper& page, const EnvelopeText& line) {
    page.Pisz(line.x, line.y, line.text);
}

} // namespace

void printEnvelope(PageHelper& page, const PrintFont& font, const EnvelopeLayout& layout,
                   const QImage& logo) {
    PortraitAfterwards portrait(page);
    if (layout.landscape)
        page.UstawPoziomo();
    else
        page.UstawPionowo();
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
