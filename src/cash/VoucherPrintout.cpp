#include "cash/VoucherPrintout.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/VoucherCounter.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "print/ColourValue.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"
#include "print/Surface.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

constexpr int kSecondCopy = 140;

// The amount in words: from x 12 on the total's row, short of "Razem" at x 135 by a step; when
// it needs two lines, the second goes below, where the copy is free to its right edge at 180 up
// to the signature row at 105. It is drawn smaller rather than covered or cut, down to 6 points.
constexpr int kWordsX = 12;
constexpr int kWordsRow = 95;
constexpr int kWordsRight = 134;
constexpr int kWordsSecondRow = 100;
constexpr int kWordsSecondRight = 180;
constexpr int kSignatureRow = 105;
constexpr int kWordsMinPoints = 6;

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

// The words line split after its last blank that leaves a first part fitting `room` dots;
// nothing when no blank does.
std::optional<std::pair<QString, QString>> splitWords(PageHelper& page, const QString& words,
                                                      int room) {
    for (qsizetype blank = words.lastIndexOf(QLatin1Char(' ')); blank > 0;
         blank = words.lastIndexOf(QLatin1Char(' '), blank - 1)) {
        const QString first = words.left(blank).trimmed();
        if (!first.isEmpty() && page.textSize(first).width() <= room)
            return std::make_pair(first, words.mid(blank + 1).trimmed());
    }
    return std::nullopt;
}

// The words on one line or on two, whichever holds them at the larger size (one line when both
// do), from the print size down by whole points to the minimum. A print font too wide even for
// two lines at the minimum leaves the second line running on. The words are never cut.
void drawWords(PageHelper& page, const PrintFont& font, const QString& words, int d) {
    const PageMetrics& m = page.metrics();
    const int room = (kWordsRight - kWordsX) * m.dotsX - 1;
    const int secondRoom = (kWordsSecondRight - kWordsX) * m.dotsX - 1;
    const int start = font.size > 0 ? font.size : kPlatformPoints;
    const int floor = std::min(kWordsMinPoints, start);
    auto sizeAt = [&](int points) {
        // The print size itself as the font gives it (a missing size stays the platform's).
        page.Czcionka(font.face, points == start ? font.size : points);
    };
    auto oneLineHolds = [&] {
        const QSize cell = page.textSize(words);
        return cell.width() <= room && cell.height() < (kSignatureRow - kWordsRow) * m.dotsY;
    };
    // Both lines have one height: the first must end where the second begins, the second before
    // the signature row.
    auto twoLinesHold = [&](const std::optional<std::pair<QString, QString>>& lines) {
        if (!lines)
            return false;
        const QSize second = page.textSize(lines->second);
        return second.width() <= secondRoom &&
               second.height() <= (kWordsSecondRow - kWordsRow) * m.dotsY &&
               second.height() < (kSignatureRow - kWordsSecondRow) * m.dotsY;
    };
    for (int points = start; points >= floor; --points) {
        sizeAt(points);
        if (oneLineHolds()) {
            page.Pisz(kWordsX, d + kWordsRow, words);
            return;
        }
        const auto lines = splitWords(page, words, room);
        if (twoLinesHold(lines) || (points == floor && lines)) {
            page.Pisz(kWordsX, d + kWordsRow, lines->first);
            page.Pisz(kWordsX, d + kWordsSecondRow, lines->second);
            return;
        }
    }
    // Not even the first word fits the line: the words run on as they are.
    page.Pisz(kWordsX, d + kWordsRow, words);
}

} // namespace

void drawVoucherCopy(PageHelper& page, const Voucher& voucher, const PrintFont& font, int d) {
    const bool colour = voucher.colour;
    const KindTexts& texts = kindTexts(voucher.kind);
    if (colour)
        page.KolorPiora(colour::Red);
    page.Czcionka(font.face, headingPoints(font));
    page.Pogrubienie(1);
    page.Ramka(10, d + 3, 170, 1);
    if (colour)
        page.KolorCzcionki(colour::Teal);
    // Every text keeps to its frame or its place: a long one is drawn smaller, cut only below
    // the smallest size.
    page.writeFitted(10, d + 6, 154, printTitle(voucher), kSmallestPrintPoints);
    page.writeFitted(155, d + 6, 180, voucher.data, kSmallestPrintPoints);

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
        page.writeFitted(12, d + 17 + 4 * i, 90, voucher.issuer[i], kSmallestPrintPoints);
    page.Ramka(100, d + 16, 80, 20);
    for (int i = 0; i < 4; ++i)
        page.writeFitted(102, d + 17 + 4 * i, 180, voucher.company[i], kSmallestPrintPoints);

    page.Pogrubienie(1);
    if (colour)
        page.KolorCzcionki(colour::Black);
    page.Pisz(12, d + 40, u"Tytułem"_s);
    page.Pisz(152, d + 40, u"Kwota"_s);
    page.Pogrubienie(0);
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        page.Ramka(10, d + 45 + 5 * r, 140, 5);
        page.writeFitted(12, d + 46 + 5 * r, 150, voucher.grid.tytulem[r], kSmallestPrintPoints);
    }
    page.Czcionka(u"Courier New"_s, 9);
    // The eleventh amount box holds the total.
    for (int r = 0; r <= VoucherGrid::Rows; ++r) {
        page.Ramka(150, d + 45 + 5 * r, 30, 5);
        if (r < VoucherGrid::Rows)
            page.writeFitted(152, d + 46 + 5 * r, 180, voucher.grid.kwota[r], kSmallestPrintPoints);
    }
    // A voucher whose total cannot be worded is refused before it gets here.
    drawWords(page, font, voucherWordsLine(voucher), d);
    page.Czcionka(u"Courier New"_s, 9);
    page.Pisz(135, d + 96, u"Razem"_s);
    page.writeFitted(152, d + 96, 180, voucher.razem, kSmallestPrintPoints);
    page.Czcionka(font.face, font.size);

    for (const SignatureBox& box : kSignatures)
        page.Ramka(box.x, d + 105, box.width, 5);
    if (colour)
        page.KolorCzcionki(colour::Red);
    for (const SignatureBox& box : kSignatures)
        page.writeFitted(box.x + 1, d + 106, box.x + box.width, QString::fromUtf16(box.label),
                         kSmallestPrintPoints);
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

// "KP 12-2026.pdf": the kind and the number the voucher will bear (the counter's next one;
// whether another workstation takes it first is known only when it prints).
PrintDocument voucherPrintDocument(const Workstation& ws, const Voucher& voucher) {
    const QString kind = voucher.kind == DocumentKind::KW ? u"KW"_s : u"KP"_s;
    QString file = kind;
    try {
        if (files::exists(counterFile(ws, voucher.kind))) {
            const CounterRecord counter = readCounter(ws, voucher.kind);
            file += QLatin1Char(' ') + QString::number(counter.next);
            if (!counter.suffix.trimmed().isEmpty())
                file += QLatin1Char('-') + counter.suffix.trimmed();
        }
    } catch (const IoError&) {
        // The print run reads the counter again and reports what is wrong with it.
    }
    return PrintDocument(kindTexts(voucher.kind).windowCaption, file);
}

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
        voucherPrintDocument(ws, voucher), [&](Surface& surface, bool printing) {
            if (printing) {
                result = printVoucher(surface, fonts, ws, voucher);
                return;
            }
            Voucher shown = voucher;
            showVoucher(surface, fonts, ws, shown);
        });
    return printed ? result : VoucherPrintResult{};
}

} // namespace

VoucherPrintResult printVoucher(Dialogs& dialogs, FontSettings& fonts, const Workstation& ws,
                                Voucher& voucher) {
    if (dialogs.previewEnabled())
        return previewVoucher(dialogs, fonts, ws, voucher);
    const std::unique_ptr<Surface> surface =
        dialogs.choosePrinter(voucherPrintDocument(ws, voucher));
    if (!surface)
        return {VoucherPrintResult::Cancelled, {}};
    return printVoucher(*surface, fonts, ws, voucher);
}

VoucherPrintResult showVoucher(Surface& surface, FontSettings& fonts, const Workstation& ws,
                               Voucher& voucher) {
    const QString refusal = refusalOf(voucher);
    if (!refusal.isEmpty())
        return {VoucherPrintResult::Refused, refusal};
    const CounterRecord counter = files::exists(counterFile(ws, voucher.kind))
                                      ? readCounter(ws, voucher.kind)
                                      : CounterRecord{};
    voucher.numerkp = QString::number(counter.next);
    voucher.rozszerzeniekp = counter.suffix;
    fonts.CzytajFonty(kPrintFontFile);
    const PrintFont font = fonts.printFont();
    PageHelper page(surface);
    page.RozpocznijWydruk(0, 0);
    drawVoucher(page, voucher, font);
    page.ZakonczWydruk();
    return {VoucherPrintResult::Printed, {}};
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
