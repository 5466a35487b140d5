#include "print/TextPrintout.h"

#include "print/PrintRun.h"

namespace kestrana {

void printTextPages(PageHelper& page, const PrintFont& font, const QString& heading,
                    const QStringList& lines) {
    page.beginDocument();
    int y = 5;
    page.UstawStrone();
    page.Czcionka(font.face, headingPoints(font));
    page.Pogrubienie(1);
    page.Pisz(10, y + 1, heading);
    page.Pogrubienie(0);
    page.setFontStyle(font.style);
    page.Czcionka(font.face, font.size);
    y += 10;

    int linesOnPage = 0;
    for (const QString& line : lines) {
        page.Pisz(10, y + 1, line);
        y += 5;
        if (++linesOnPage == kTextLinesPerPage) {
            y = 5;
            linesOnPage = 0;
            page.newPage();
        }
    }
    page.ZakonczWydruk();
}

bool runDescriptionPrintout(Dialogs& dialogs, FontSettings& fonts, const QString& heading,
                            const QStringList& lines) {
    const QString name = QStringLiteral("Opis firmy");
    return runPrintout(dialogs, fonts,
                       PrintDocument(name, (name + QLatin1Char(' ') + heading).trimmed()),
                       [&](PageHelper& page, const PrintFont& font) {
                           printTextPages(page, font, heading, lines);
                       });
}

bool runNotepadPrintout(Dialogs& dialogs, FontSettings& fonts, const QString& title,
                        const QStringList& displayedLines) {
    const QString name = title.isEmpty() ? QStringLiteral("Notatnik") : title;
    return runPrintout(dialogs, fonts, name, [&](PageHelper& page, const PrintFont& font) {
        printTextPages(page, font, title, displayedLines);
    });
}

} // namespace kestrana
