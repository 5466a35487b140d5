#pragma once

#include "cash/Voucher.h"

#include <QString>

namespace kestrana {

class Dialogs;
class FontSettings;
class PageHelper;
class Surface;
struct PrintFont;
struct Workstation;

// The voucher on paper: two identical copies on one page, the second 140 steps below the
// first, drawn on a document the caller has begun (RozpocznijWydruk) and ends. Black, or in
// colour (red frames, teal title and date, red blocks and signature labels). The print font
// gives face and size only: style and colour are set here.
void drawVoucher(PageHelper& page, const Voucher& voucher, const PrintFont& font);
// One copy with its top at step `d`.
void drawVoucherCopy(PageHelper& page, const Voucher& voucher, const PrintFont& font, int d);

struct VoucherPrintResult {
    enum Status { Cancelled, Refused, Printed };
    Status status = Cancelled;
    QString message; // why it was refused
};

// "Drukuj dokument": the print dialog, then the voucher is checked (a total beyond the words is
// refused), the print font loaded and the document begun; only then is the counter taken, so a
// cancelled dialog, a refused voucher or a printer that cannot start leave it alone. The number
// and suffix taken go into `voucher` before it is drawn, and stay there even when the printer
// fails afterwards (the number is spent). With the print preview on, a voucher that would be
// refused is refused before the preview opens, and the counter is taken only when the user
// prints from the preview. Throws IoError.
VoucherPrintResult printVoucher(Dialogs& dialogs, FontSettings& fonts, const Workstation& ws,
                                Voucher& voucher);
// The same on a surface chosen beforehand (a PDF from the command line).
VoucherPrintResult printVoucher(Surface& surface, FontSettings& fonts, const Workstation& ws,
                                Voucher& voucher);
// The voucher as it would print now, for what is not paper (the print preview, a trace): it
// bears the number and suffix its counter holds, which go into `voucher`, and the counter is
// neither taken nor created (a missing one shows number 1 without a suffix). A voucher that
// would be refused is refused. Throws IoError.
VoucherPrintResult showVoucher(Surface& surface, FontSettings& fonts, const Workstation& ws,
                               Voucher& voucher);

} // namespace kestrana
