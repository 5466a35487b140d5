#include "print/PrintRun.h"

#include "print/Surface.h"

namespace kestrana {

bool runPrintout(Dialogs& dialogs, FontSettings& fonts, const PrintDocument& document,
                 const Printout& printout) {
    if (dialogs.previewEnabled())
        return dialogs.previewPrint(document, [&](Surface& surface, bool /*printing*/) {
            runPrintout(surface, fonts, printout);
        });
    const std::unique_ptr<Surface> surface = dialogs.choosePrinter(document);
    if (!surface)
        return false;
    runPrintout(*surface, fonts, printout);
    return true;
}

void runPrintout(Surface& surface, FontSettings& fonts, const Printout& printout) {
    fonts.CzytajFonty(kPrintFontFile);
    const PrintFont font = fonts.printFont();
    PageHelper page(surface);
    page.useStoredFont(font);
    printout(page, font);
}

} // namespace kestrana
