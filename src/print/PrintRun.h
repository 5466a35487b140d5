#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"

#include <functional>

namespace kestrana {

using Printout = std::function<void(PageHelper& page, const PrintFont& font)>;

// The steps every printout but the voucher shares: the print dialog, or the print preview when
// it is on (false when cancelled or closed without printing: nothing printed), the print font
// loaded afresh from its file, the printer font's style and colour taken from it, then the printout
// itself on a fresh page helper. Throws IoError; a printout that throws leaves no document behind.
bool runPrintout(Dialogs& dialogs, FontSettings& fonts, const PrintDocument& document,
                 const Printout& printout);

// The same on a surface chosen beforehand (a PDF or trace from the command line, a preview).
void runPrintout(Surface& surface, FontSettings& fonts, const Printout& printout);

} // namespace kestrana
