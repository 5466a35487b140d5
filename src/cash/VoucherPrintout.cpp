#include "cash/VoucherPrintout.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/VoucherCounter.h"
#include "print/ColourValue.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"
#include "print/Surface.h"

#include <array>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

constexpr int kSecondCopy = 140;

// The signature row: five boxes side by side, each with its label.
struct SignatureBox {
    int x;
    int width;
    const char16_t* label;
};
constexpr std::array<SignatureBox, 5> kSignatures = {{
    {10, 25, u"wystawił"},
    {35, 25, u"sprawdził"},
    {60, 25, u"zatwierdził"},
    {85, 25, u"raport kasowy"},
    {110, 70, u"pokwitowanie kwoty"},
}};

} // namespace

void drawVoucherCopy(PageHelper& page, const Voucher& voucher, const PrintFont& font, int d) {
    const bool colour = voucher.colour;
    const KindTexts& texts = kindTexts(voucher.kind);
    if (colour)
        page.KolorPiora(colour::Red);
    page.Czcionka(font.face, font.size + 5);
    page.Pogrubienie(1);
    page.Ramka(10, d + 3, 170, 1);
    if (colour)
        page.KolorCzcionki(colour::Teal);
    page.Pisz(10, d + 6, printTitle(voucher));
    page.Pisz(155, d + 6, voucher.data);

    page.Pogrubienie(0);
    page.Czcionka(font.face, font.size);
    if (colour)
        page.KolorCzcionki(colour::Black);
    page.Pisz(10, d + 12, u"Wystawił :"_s);
    page.Pisz(100, d + 12, texts.printCompany);
    page.Czcionka(font.face, font.size);
    page.Ramka(10, d + 16, 80, 20);
    if (colour)
        page.KolorCzcionki(colour::Red);
    for (int i = 0; i < 4; ++i)
        page.Pisz(12, d + 17 + 4 * i, voucher.issuer[i]);
    page.Ramka(100, d + 16, 80, 20);
    for (int i = 0; i < 4; ++i)
        page.Pisz(102, d + 17 + 4 * i, voucher.company[i]);

    page.Pogrubienie(1);
    if (colour)
        page.KolorCzcionki(colour::Black);
    page.Pisz(12, d + 40, u"Tytułem"_s);
    page.Pisz(152, d + 40, u"Kwota"_s);
    page.Pogrubienie(0);
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        page.Ramka(10, d + 45 + 5 * r, 140, 5);
        page.Pisz(12, d + 46 + 5 * r, voucher.grid.tytulem[r]);
    }
    page.Czcionka(u"Courier New"_s, 9);
    // The eleventh amount box holds the total.
    for (int r = 0; r <= VoucherGrid::Rows; ++r) {
        page.Ramka(150, d + 45 + 5 * r, 30, 5);
        if (r < VoucherGrid::Rows)
            page.Pisz(152, d + 46 + 5 * r, voucher.grid.kwota[r]);
    }
    // The words line is long enough to run under "Razem" and the total; it goes first so that
    // the total in figures, drawn over it in its opaque cell, always stays readable.
    // A voucher whose total cannot be worded is refused before it gets here.
    const QString words = wordsLine(readAmount(voucher.razem)).value_or(QString());
    page.Czcionka(font.face, font.size);
    page.Pisz(12, d + 95, words);
    page.Czcionka(u"Courier New"_s, 9);
    page.Pisz(135, d + 96, u"Razem"_s);
    page.Pisz(152, d + 96, voucher.razem);
    page.Czcionka(font.face, font.size);

    for (const SignatureBox& box : kSignatures)
        page.Ramka(box.x, d + 105, box.width, 5);
    if (colour)
        page.KolorCzcionki(colour::Red);
    for (const SignatureBox& box : kSignatures)
        page.Pisz(box.x + 1, d + 106, QString::fromUtf16(box.label));
    for (const SignatureBox& box : kSignatures)
        page.Ramka(box.x, d + 110, box.width, 10);
}

void drawVoucher(PageHelper& page, const Voucher& voucher, const PrintFont& font) {
    page.KolorCzcionki(colour::Black);
    page.KolorPiora(colour::Black);
    drawVoucherCopy(page, voucher, font, 0);
    if (voucher.colour) {
        page.KolorCzcionki(colour::Black);
        page.KolorPiora(colour::Black);
    }
    drawVoucherCopy(page, voucher, font, kSecondCopy);
}

namespace {

QString refusalOf(const Voucher& voucher) {
    if (voucher.kind == DocumentKind::None)
        return u"Nie wybrano rodzaju dokumentu (Kp lub Kw)."_s;
    return printRefusal(voucher);
}

// The preview shows the voucher with the number the counter holds now, without taking it;
// only printing from the preview takes a number (the same one unless another workstation
// printed in between), so closing the preview leaves the counter alone.
VoucherPrintResult previewVoucher(Dialogs& dialogs, FontSettings& fonts, const Workstation& ws,
                                  Voucher& voucher) {
    const QString refusal = refusalOf(voucher);
    if (!refusal.isEmpty())
        return {VoucherPrintResult::Refused, refusal};
    VoucherPrintResult result;
    const bool printed = dialogs.previewPrint(
        kindTexts(voucher.kind).windowCaption, [&](Surface& surface, bool printing) {
            if (printing) {
                result = printVoucher(surface, fonts, ws, voucher);
                return;
            }
            Voucher shown = voucher;
            const CounterRecord counter = readCounter(ws, voucher.kind);
            shown.numerkp = QString::number(counter.next);
            shown.rozszerzeniekp = counter.suffix;
            fonts.CzytajFonty(kPrintFontFile);
            const PrintFont font = fonts.printFont();
            PageHelper page(surface);
            page.RozpocznijWydruk(0, 0);
            drawVoucher(page, shown, font);
            page.ZakonczWydruk();
        });
    return printed ? result : VoucherPrintResult{};
}

} // namespace

VoucherPrintResult printVoucher(Dialogs& dialogs, FontSettings& fonts, const Workstation& ws,
                                Voucher& voucher) {
    if (dialogs.previewEnabled())
        return previewVoucher(dialogs, fonts, ws, voucher);
    const std::unique_ptr<Surface> surface =
        dialogs.choosePrinter(kindTexts(voucher.kind).windowCaption);
    if (!surface)
        return {VoucherPrintResult::Cancelled, {}};
    return printVoucher(*surface, fonts, ws, voucher);
}

VoucherPrintResult printVoucher(Surface& surface, FontSettings& fonts, const Workstation& ws,
                                Voucher& voucher) {
    const QString refusal = refusalOf(voucher);
    if (!refusal.isEmpty())
        return {VoucherPrintResult::Refused, refusal};
    fonts.CzytajFonty(kPrintFontFile);
    const PrintFont font = fonts.printFont();
    // An unfinished document is dropped when the helper goes: a counter that cannot be taken
    // leaves no page behind.
    PageHelper page(surface);
    page.RozpocznijWydruk(0, 0);
    try {
        const CounterRecord taken = takeVoucherNumber(ws, voucher.kind);
        voucher.numerkp = QString::number(taken.next);
        voucher.rozszerzeniekp = taken.suffix;
    } catch (const CounterFullError& full) {
        return {VoucherPrintResult::Refused, full.text()};
    }
    drawVoucher(page, voucher, font);
    page.ZakonczWydruk();
    return {VoucherPrintResult::Printed, {}};
}

} // namespace kestrana
