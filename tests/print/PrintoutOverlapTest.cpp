// Every printout of the demo register, drawn with the print font a new workstation gets, at
// 600 dpi: measured with the fonts' own metrics, no text may cover another, cross a frame line
// or leave the printable area, except where the layout's fixed positions leave no room (listed
// below with the reason).
#include "cash/Voucher.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherPrintout.h"
#include "envelope/AddressHelpers.h"
#include "envelope/EnvelopePrintout.h"
#include "envelope/SerialEnvelopes.h"
#include "platform/CheckedFile.h"
#include "print/DefaultPrintFont.h"
#include "print/FontSettings.h"
#include "print/PrintRun.h"
#include "print/TextMetrics.h"
#include "print/TextPrintout.h"
#include "print/TraceSurface.h"
#include "register/DataFolderSetup.h"
#include "register/EntryForm.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "reports/DefinablePrintout.h"
#include "reports/Descriptions.h"
#include "reports/DetailedPrintout.h"
#include "reports/EntrySheet.h"
#include "support/TestRegistry.h"

#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace kestrana;

namespace {

constexpr int kDpi = 600;
constexpr int kStep = kDpi / 25;

struct Text {
    QRect cell;
    QString text;
};

struct Page {
    QList<Text> texts;
    QList<QRect> frames; // right and bottom edge excluded, as the surface takes them
    QRect printable;
};

std::uint8_t styleBits(const QString& letters) {
    std::uint8_t bits = 0;
    for (const QChar letter : letters) {
        if (letter == u'b')
            bits |= fontstyle::Bold;
        else if (letter == u'i')
            bits |= fontstyle::Italic;
        else if (letter == u'u')
            bits |= fontstyle::Underline;
        else if (letter == u's')
            bits |= fontstyle::StrikeOut;
    }
    return bits;
}

// The printable area a PDF of this paper and orientation has, in dots from its corner.
QRect printableArea(const QPageSize& paper, bool landscape) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    if (paper.isValid())
        printer.setPageSize(paper);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return QRect(QPoint(), printer.pageLayout().paintRectPixels(kDpi).size());
}

// The trace read back as pages of measured texts and frames.
QList<Page> pagesOf(const QStringList& lines) {
    QList<Page> pages;
    bool landscape = false;
    QPageSize paper;
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char('\t'));
        const QString& kind = f[0];
        if (kind == QLatin1String("begin")) {
            landscape = f[1] == QLatin1String("landscape");
            pages.append(Page{{}, {}, printableArea(paper, landscape)});
        } else if (kind == QLatin1String("paper")) {
            paper = QPageSize(QSizeF(f[2].toDouble(), f[3].toDouble()), QPageSize::Millimeter);
            pages.last().printable = printableArea(paper, landscape);
        } else if (kind == QLatin1String("page")) {
            pages.append(Page{{}, {}, pages.last().printable});
        } else if (kind == QLatin1String("text")) {
            // The demo's texts hold no TAB or backslash, which a trace would escape.
            const QString text = f[7];
            const SurfaceFont font{f[3], f[4].toInt(), styleBits(f[5])};
            const QSize size = textCell(font, kDpi, text);
            if (!size.isEmpty())
                pages.last().texts.append({QRect(QPoint(f[1].toInt(), f[2].toInt()), size), text});
        } else if (kind == QLatin1String("rect")) {
            pages.last().frames.append(
                QRect(QPoint(f[1].toInt(), f[2].toInt()), QPoint(f[3].toInt(), f[4].toInt()))
                    .adjusted(0, 0, -1, -1));
        }
    }
    return pages;
}

// Whether a text's cell covers part of a frame's one-dot outline.
bool crossesOutline(const QRect& cell, const QRect& frame) {
    return cell.intersects(frame) && !frame.adjusted(1, 1, -1, -1).contains(cell);
}

// A place where the layout's own fixed positions make two texts meet whatever is printed.
struct Unavoidable {
    QString printout; // a pattern over the printout's name
    std::function<bool(const Text& first, const Text& second)> applies;
    QString reason;
};

const QList<Unavoidable>& unavoidable() {
    static const QList<Unavoidable> list = {
        {QStringLiteral("^detailed"),
         [](const Text& a, const Text& b) {
             return a.cell.x() == b.cell.x() && b.cell.y() - a.cell.y() == 3 * kStep;
         },
         QStringLiteral("a row's second and third cell lines lie 3 steps (72 dots) apart, "
                        "and the cell of an 8-point face is taller (Liberation Sans: 75 dots); "
                        "the third line's cell touches the second line's descenders by 3 dots")},
    };
    return list;
}

QString where(const Text& text) {
    return QStringLiteral("\"%1\" at (%2, %3) size %4x%5")
        .arg(text.text)
        .arg(text.cell.x())
        .arg(text.cell.y())
        .arg(text.cell.width())
        .arg(text.cell.height());
}

// What is wrong with a printout, one line per fault. `excused` counts the overlaps each
// unavoidable place accounted for.
QStringList faults(const QString& printout, const QStringList& trace, QList<int>& excused) {
    QStringList found;
    const QList<Page> pages = pagesOf(trace);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        for (qsizetype i = 0; i < page.texts.size(); ++i) {
            const Text& a = page.texts[i];
            if (!page.printable.contains(a.cell))
                found << QStringLiteral("%1 page %2: %3 leaves the printable area")
                             .arg(printout)
                             .arg(p + 1)
                             .arg(where(a));
            for (const QRect& frame : page.frames) {
                if (crossesOutline(a.cell, frame))
                    found << QStringLiteral("%1 page %2: %3 crosses the frame %4,%5-%6,%7")
                                 .arg(printout)
                                 .arg(p + 1)
                                 .arg(where(a))
                                 .arg(frame.left())
                                 .arg(frame.top())
                                 .arg(frame.right())
                                 .arg(frame.bottom());
            }
            for (qsizetype j = i + 1; j < page.texts.size(); ++j) {
                const Text& b = page.texts[j];
                if (!a.cell.intersects(b.cell))
                    continue;
                const Text& upper = a.cell.y() <= b.cell.y() ? a : b;
                const Text& lower = &upper == &a ? b : a;
                bool known = false;
                for (qsizetype u = 0; u < unavoidable().size() && !known; ++u) {
                    const Unavoidable& place = unavoidable()[u];
                    known = QRegularExpression(place.printout).match(printout).hasMatch() &&
                            place.applies(upper, lower);
                    if (known)
                        ++excused[u];
                }
                if (!known)
                    found << QStringLiteral("%1 page %2: %3 overlaps %4")
                                 .arg(printout)
                                 .arg(p + 1)
                                 .arg(where(a), where(b));
            }
        }
    }
    return found;
}

struct DemoOffice {
    QTemporaryDir dir;
    Workstation ws;
    FontSettings fonts;

    DemoOffice() {
        // As kestrana-cli init --demo makes it: the data folder and the default print font.
        installDataFolder(dir.path(), true, QStringLiteral("2026-03-05"));
        writeDefaultPrintFont(dir.path());
        ws = startup::prepareWorkstation(dir.path(), false, QStringLiteral("2026-03-05"));
        fonts.setWorkDir(ws.workDir);
        Register reg(ws);
        QStringList lines;
        reg.buildList(ViewMode::Nazwa, lines);
    }

    QList<EntryFormValues> entries() const {
        QList<EntryFormValues> forms;
        files::RecordReader main(ws.mainFile(), EntryRecord::Size);
        while (const char* record = main.next()) {
            EntryFormValues form;
            recordToForm(EntryRecord::fromBytes(record), form);
            forms.append(form);
        }
        return forms;
    }

    QStringList trace(const Printout& printout) {
        TraceSurface surface(kDpi, kDpi);
        runPrintout(surface, fonts, printout);
        return surface.lines();
    }
};

Voucher demoVoucher(const Workstation& ws, const EntryFormValues& form, DocumentKind kind,
                    const QString& razem) {
    Voucher v;
    v.kind = kind;
    v.data = voucherDateText(QDate(2026, 12, 31));
    v.issuer = issuerBlock(ws.firma);
    v.company = companyBlock(form[Field::nazwa1], form[Field::miejscowosc], form[Field::adres],
                             form[Field::wojewodztwo]);
    const QStringList titles = {
        QStringLiteral("Zapłata za fakturę VAT nr FV/2026/12/0457 z dnia 30.12.2026"),
        QStringLiteral("Zaliczka na poczet dostawy materiałów biurowych i eksploatacyjnych"),
        QStringLiteral("Zwrot kosztów podróży służbowej"),
    };
    for (int r = 0; r < titles.size(); ++r) {
        v.grid.tytulem[r] = titles[r];
        v.grid.kwota[r] = razem;
    }
    v.razem = razem;
    v.colour = kind == DocumentKind::KW;
    return v;
}

} // namespace

class PrintoutOverlapTest : public QObject {
    Q_OBJECT

private slots:
    void newWorkstationHasTheDefaultFont() {
        DemoOffice office;
        office.fonts.CzytajFonty(kPrintFontFile);
        QCOMPARE(office.fonts.size(), kDefaultPrintPoints);
        QCOMPARE(office.fonts.faceName(), QStringLiteral("Liberation Sans"));
    }

    void everyPrintoutOfTheDemoRegister() {
        DemoOffice office;
        QStringList found;
        QList<int> excused(unavoidable().size(), 0);
        auto check = [&](const QString& name, const QStringList& trace) {
            QVERIFY2(trace.contains(QStringLiteral("end")), qPrintable(name));
            found << faults(name, trace, excused);
        };
        const QString list = office.ws.listFile();
        EntryRecord buffer;
        check(QStringLiteral("detailed list"),
              office.trace([&](PageHelper& page, const PrintFont& font) {
                  printDetailedList(page, font, list, buffer);
              }));

        // Every field the definable printout offers, in both row forms, with a long title.
        const QList<std::array<QString, 6>> choices = {
            {QStringLiteral("Miejscowość"), QStringLiteral("Adres"), QStringLiteral("Telefon"),
             QStringLiteral("E-mail"), QStringLiteral("Bank"), QStringLiteral("Konto")},
            {QStringLiteral("Kod"), QStringLiteral("NIP"), QStringLiteral("PESEL"),
             QStringLiteral("REGON"), QStringLiteral("Odpowiedzialny"), QStringLiteral("E-mail")},
        };
        for (const RowForm form : {RowForm::ThreeLines, RowForm::OneLine}) {
            for (const auto& pole : choices) {
                DefinableSettings settings;
                settings.form = form;
                settings.pole = pole;
                settings.tytul = QStringLiteral("Zestawienie producentów współpracujących z "
                                                "biurem w roku 2026 – stan na dzień 31 grudnia");
                check(QStringLiteral("definable %1 %2")
                          .arg(form == RowForm::OneLine ? 1 : 3)
                          .arg(pole[1]),
                      office.trace([&](PageHelper& page, const PrintFont& font) {
                          printDefinableList(page, font, settings, list, buffer);
                      }));
            }
        }

        const QList<EntryFormValues> entries = office.entries();
        QVERIFY(entries.size() >= 40);
        for (const EntryFormValues& form : entries) {
            const QString id = form[Field::id];
            check(QStringLiteral("entry sheet ") + id,
                  office.trace([&](PageHelper& page, const PrintFont& font) {
                      printEntrySheet(page, font, form);
                  }));
            const QStringList description = descriptions::read(descriptions::path(office.ws, id));
            if (!description.isEmpty())
                check(QStringLiteral("description ") + id,
                      office.trace([&](PageHelper& page, const PrintFont& font) {
                          printTextPages(page, font, form[Field::nazwa1], description);
                      }));
            for (const AddressBlock block :
                 {AddressBlock::Seat, AddressBlock::Correspondence, AddressBlock::Contact}) {
                EnvelopeFields fields;
                LogoPicture picture;
                openEnvelope(office.ws, form, block, fields, picture);
                check(QStringLiteral("envelope %1/%2").arg(id).arg(int(block)),
                      office.trace(envelopePrintout(fields, picture)));
                // An envelope fed into the printer: DL, address along its length.
                fields.paper = EnvelopePaper::DL;
                fields.landscape = true;
                check(QStringLiteral("DL envelope %1/%2").arg(id).arg(int(block)),
                      office.trace(envelopePrintout(fields, picture)));
            }
        }
        EnvelopeFields fields;
        LogoPicture picture;
        openEnvelope(office.ws, entries.front(), AddressBlock::Seat, fields, picture);
        check(QStringLiteral("serial envelopes"),
              office.trace(serialEnvelopePrintout(fields, picture, list, AddressBlock::Seat)));

        // Vouchers of every entry, with the shortest, a long and the largest total in words, in
        // the office's wording and in full Polish.
        ensureCounterFile(office.ws, DocumentKind::KP);
        ensureCounterFile(office.ws, DocumentKind::KW);
        const QStringList totals = {QStringLiteral("    0.01"), QStringLiteral("777777.77"),
                                    QStringLiteral("2147483647.99")};
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const DocumentKind kind = i % 2 ? DocumentKind::KW : DocumentKind::KP;
            Voucher v = demoVoucher(office.ws, entries[i], kind, totals[i % totals.size()]);
            v.fullWords = (i / totals.size()) % 2 == 1;
            TraceSurface surface(kDpi, kDpi);
            QCOMPARE(printVoucher(surface, office.fonts, office.ws, v).status,
                     VoucherPrintResult::Printed);
            check(QStringLiteral("voucher %1 %2").arg(printTitle(v), v.razem), surface.lines());
        }
        // A place listed as unavoidable that no printout meets any more is no longer needed.
        for (qsizetype u = 0; u < unavoidable().size(); ++u)
            QVERIFY2(excused[u] > 0, qPrintable(unavoidable()[u].reason));
        if (!found.isEmpty())
            QFAIL(qPrintable(found.mid(0, 60).join(QLatin1Char('\n')) +
                             QStringLiteral("\n(%1 in all)").arg(found.size())));
    }
};

KESTRANA_TEST(PrintoutOverlapTest)
#include "PrintoutOverlapTest.moc"
