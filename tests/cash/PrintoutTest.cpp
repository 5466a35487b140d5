#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/Voucher.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherPrintout.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/TraceSurface.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <limits>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedDialogs;

namespace {

// One device operation of a trace.
struct Op {
    QString kind;
    int x = 0, y = 0, x2 = 0, y2 = 0;
    QString face;
    int height = 0;
    QString style;
    QString colour;
    QString text;
};

QList<Op> drawing(const TraceSurface& trace) {
    QList<Op> ops;
    for (const QString& line : trace.lines()) {
        const QStringList f = line.split(QLatin1Char('\t'));
        Op op;
        op.kind = f[0];
        if (op.kind == QLatin1String("text")) {
            op.x = f[1].toInt();
            op.y = f[2].toInt();
            op.face = f[3];
            op.height = f[4].toInt();
            op.style = f[5];
            op.colour = f[6];
            op.text = f[7];
        } else if (op.kind == QLatin1String("rect")) {
            op.x = f[1].toInt();
            op.y = f[2].toInt();
            op.x2 = f[3].toInt();
            op.y2 = f[4].toInt();
            op.colour = f[5];
        } else {
            continue;
        }
        ops.append(op);
    }
    return ops;
}

const Op* textAt(const QList<Op>& ops, int x, int y) {
    for (const Op& op : ops) {
        if (op.kind == QLatin1String("text") && op.x == x && op.y == y)
            return &op;
    }
    return nullptr;
}

bool hasRect(const QList<Op>& ops, int x1, int y1, int x2, int y2, const QString& colour) {
    for (const Op& op : ops) {
        if (op.kind == QLatin1String("rect") && op.x == x1 && op.y == y1 && op.x2 == x2 &&
            op.y2 == y2 && op.colour == colour)
            return true;
    }
    return false;
}

struct Office {
    DataFolder folder;
    Workstation ws;
    FontSettings fonts;

    Office() : fonts(folder.path()) {
        ws.baseDir = ws.workDir = folder.path();
        QDir(folder.path()).mkdir(QStringLiteral("DOKUMENTY"));
        QDir(folder.path()).mkdir(QStringLiteral("FONT"));
    }
    // The stored print font: its style and colour must not reach the voucher.
    void storeFont(const QString& face, int size) {
        FontRecord font;
        font.setFaceName(face);
        font.size = size;
        font.style = fontstyle::Italic | fontstyle::Underline;
        font.colour = 0x00FF00;
        folder.writeBytes(QStringLiteral("FONT/font_kelmo_2007.dat"), font.toBytes());
    }
    CounterRecord counter(DocumentKind kind) const { return readCounter(ws, kind); }
};

Voucher sampleVoucher(DocumentKind kind, bool colour) {
    Voucher v;
    v.kind = kind;
    v.numerkp = QStringLiteral("57");
    v.rozszerzeniekp = QStringLiteral("typed");
    v.data = QStringLiteral("5.03.2007");
    v.issuer = {QStringLiteral("Biuro Rachunkowe"), QStringLiteral("ul. Polna 1"),
                QStringLiteral("00-001 Warszawa"), QStringLiteral("NIP 111-222-33-44")};
    v.company = {QStringLiteral("Zakład Mięsny"), QStringLiteral("Łódź"),
                 QStringLiteral("ul. Długa 5"), QStringLiteral("łódzkie")};
    v.grid.tytulem[0] = QStringLiteral("Zaliczka");
    v.grid.kwota[0] = QStringLiteral("  120.00");
    v.grid.tytulem[1] = QStringLiteral("Opłata");
    v.grid.kwota[1] = QStringLiteral("    3.45");
    v.razem = QStringLiteral("  123.45");
    v.colour = colour;
    return v;
}

const QString kBlack = QStringLiteral("#000000");
const QString kRed = QStringLiteral("#ff0000");
const QString kTeal = QStringLiteral("#008080");

} // namespace

class PrintoutTest : public QObject {
    Q_OBJECT

private slots:

    void layoutInDeviceDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("colour");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("titleHeight");
        QTest::addColumn<int>("textHeight");
        QTest::addColumn<int>("amountHeight");
        QTest::newRow("600 dpi black KP") << 600 << false << 1 << -125 << -83 << -75;
        QTest::newRow("600 dpi colour KP") << 600 << true << 1 << -125 << -83 << -75;
        QTest::newRow("600 dpi colour KW") << 600 << true << 2 << -125 << -83 << -75;
        // 15 points at 300 dpi is 62.5 dots and 9 points 37.5: halves go to the even one.
        QTest::newRow("300 dpi black KW") << 300 << false << 2 << -62 << -42 << -38;
        QTest::newRow("300 dpi colour KP") << 300 << true << 1 << -62 << -42 << -38;
    }

    void layoutInDeviceDots() {
        QFETCH(int, dpi);
        QFETCH(bool, colour);
        QFETCH(int, kind);
        QFETCH(int, titleHeight);
        QFETCH(int, textHeight);
        QFETCH(int, amountHeight);
        const auto documentKind = static_cast<DocumentKind>(kind);
        Office office;
        office.storeFont(QStringLiteral("Arial"), 10);
        saveCounterParameters(office.ws, documentKind, QStringLiteral("7"), QStringLiteral("2006"));
        TraceSurface trace(dpi, dpi);
        Voucher v = sampleVoucher(documentKind, colour);
        QCOMPARE(printVoucher(trace, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Printed);
        QCOMPARE(v.numerkp, QStringLiteral("7"));
        QCOMPARE(v.rozszerzeniekp, QStringLiteral("2006"));
        QCOMPARE(office.counter(documentKind), CounterRecord({8, QStringLiteral("2006")}));

        QCOMPARE(trace.lines().first(), QStringLiteral("begin\tportrait\t%1\t%1").arg(dpi));
        QCOMPARE(trace.lines().last(), QStringLiteral("end"));
        QCOMPARE(trace.lines().count(QStringLiteral("page")), 0);
        const QList<Op> ops = drawing(trace);
        const int s = dpi / 25;
        const QString frame = colour ? kRed : kBlack;
        const QString title = documentKind == DocumentKind::KP
                                  ? QStringLiteral("Dowód wpłaty KP nr 7/2006")
                                  : QStringLiteral("Dowód wypłaty KW nr 7/2006");
        const QString companyLabel = documentKind == DocumentKind::KP ? QStringLiteral("Od kogo :")
                                                                      : QStringLiteral("Komu :");

        for (const int d : {0, 140}) {
            QVERIFY(hasRect(ops, 10 * s, (d + 3) * s, 180 * s, (d + 4) * s, frame));
            const Op* heading = textAt(ops, 10 * s, (d + 6) * s);
            QVERIFY(heading);
            QCOMPARE(heading->text, title);
            QCOMPARE(heading->face, QStringLiteral("Arial"));
            QCOMPARE(heading->height, titleHeight);
            QCOMPARE(heading->style, QStringLiteral("b"));
            QCOMPARE(heading->colour, colour ? kTeal : kBlack);
            const Op* date = textAt(ops, 155 * s, (d + 6) * s);
            QVERIFY(date);
            QCOMPARE(date->text, QStringLiteral("5.03.2007"));
            QCOMPARE(date->colour, heading->colour);

            QCOMPARE(textAt(ops, 10 * s, (d + 12) * s)->text, QStringLiteral("Wystawił :"));
            const Op* label = textAt(ops, 100 * s, (d + 12) * s);
            QCOMPARE(label->text, companyLabel);
            QCOMPARE(label->height, textHeight);
            QCOMPARE(label->style, QStringLiteral("-"));
            QCOMPARE(label->colour, kBlack);

            QVERIFY(hasRect(ops, 10 * s, (d + 16) * s, 90 * s, (d + 36) * s, frame));
            QVERIFY(hasRect(ops, 100 * s, (d + 16) * s, 180 * s, (d + 36) * s, frame));
            const Op* issuer = textAt(ops, 12 * s, (d + 29) * s);
            QCOMPARE(issuer->text, QStringLiteral("NIP 111-222-33-44"));
            QCOMPARE(issuer->colour, colour ? kRed : kBlack);
            const Op* company = textAt(ops, 102 * s, (d + 17) * s);
            QCOMPARE(company->text, QStringLiteral("Zakład Mięsny"));
            QCOMPARE(company->colour, colour ? kRed : kBlack);

            const Op* heading2 = textAt(ops, 152 * s, (d + 40) * s);
            QCOMPARE(heading2->text, QStringLiteral("Kwota"));
            QCOMPARE(heading2->style, QStringLiteral("b"));
            QCOMPARE(heading2->colour, kBlack);
            for (int r = 0; r < 10; ++r)
                QVERIFY(hasRect(ops, 10 * s, (d + 45 + 5 * r) * s, 150 * s, (d + 50 + 5 * r) * s,
                                frame));
            for (int r = 0; r < 11; ++r)
                QVERIFY(hasRect(ops, 150 * s, (d + 45 + 5 * r) * s, 180 * s, (d + 50 + 5 * r) * s,
                                frame));
            const Op* item = textAt(ops, 12 * s, (d + 51) * s);
            QCOMPARE(item->text, QStringLiteral("Opłata"));
            QCOMPARE(item->style, QStringLiteral("-"));
            QCOMPARE(item->colour, kBlack);
            const Op* amount = textAt(ops, 152 * s, (d + 46) * s);
            QCOMPARE(amount->text, QStringLiteral("  120.00"));
            QCOMPARE(amount->face, QStringLiteral("Courier New"));
            QCOMPARE(amount->height, amountHeight);
            QCOMPARE(textAt(ops, 135 * s, (d + 96) * s)->text, QStringLiteral("Razem"));
            const Op* total = textAt(ops, 152 * s, (d + 96) * s);
            QCOMPARE(total->text, QStringLiteral("  123.45"));
            QCOMPARE(total->face, QStringLiteral("Courier New"));
            const Op* words = textAt(ops, 12 * s, (d + 95) * s);
            QCOMPARE(words->text, QStringLiteral("Słownie :sto dwadzieścia trzy złotych "
                                                 "czterdzieści pięć groszy"));
            QCOMPARE(words->face, QStringLiteral("Arial"));
            QCOMPARE(words->height, textHeight);
            QCOMPARE(words->colour, kBlack);

            const int xs[] = {10, 35, 60, 85, 110};
            const int ws[] = {25, 25, 25, 25, 70};
            const char* labels[] = {"wystawił", "sprawdził", "zatwierdził", "raport kasowy",
                                    "pokwitowanie kwoty"};
            for (int i = 0; i < 5; ++i) {
                QVERIFY(hasRect(ops, xs[i] * s, (d + 105) * s, (xs[i] + ws[i]) * s, (d + 110) * s,
                                frame));
                QVERIFY(hasRect(ops, xs[i] * s, (d + 110) * s, (xs[i] + ws[i]) * s, (d + 120) * s,
                                frame));
                const Op* signature = textAt(ops, (xs[i] + 1) * s, (d + 106) * s);
                QCOMPARE(signature->text, QString::fromUtf8(labels[i]));
                QCOMPARE(signature->colour, colour ? kRed : kBlack);
            }
        }

        // The lower copy is the upper one, 140 steps further down.
        QCOMPARE(ops.size() % 2, 0);
        const qsizetype half = ops.size() / 2;
        for (qsizetype i = 0; i < half; ++i) {
            const Op& a = ops[i];
            const Op& b = ops[i + half];
            QCOMPARE(b.kind, a.kind);
            QCOMPARE(b.y, a.y + 140 * s);
            QCOMPARE(b.text, a.text);
            QCOMPARE(b.colour, a.colour);
            QCOMPARE(b.height, a.height);
        }
        // A frame never comes after a text that lies in it.
        for (qsizetype i = 0; i < ops.size(); ++i) {
            if (ops[i].kind != QLatin1String("rect"))
                continue;
            for (qsizetype j = 0; j < i; ++j) {
                const Op& t = ops[j];
                if (t.kind == QLatin1String("text") && t.x >= ops[i].x && t.x < ops[i].x2 &&
                    t.y >= ops[i].y && t.y < ops[i].y2)
                    QFAIL(qPrintable(QStringLiteral("frame %1 after its text %2")
                                         .arg(trace.lines()[i + 1], t.text)));
            }
        }
        // Colours: none in black, and in colour only these.
        for (const Op& op : ops) {
            if (!colour)
                QCOMPARE(op.colour, kBlack);
            else if (op.kind == QLatin1String("rect"))
                QCOMPARE(op.colour, kRed);
            else
                QVERIFY(op.colour == kBlack || op.colour == kRed || op.colour == kTeal);
        }
    }

    // The amount in words is never covered by "Razem" and the total: it gets smaller, down to
    // 6 points, then takes two lines (the second below, to the copy's right edge), and is never
    // cut.
    void wordsNeverCovered_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("razem");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("points");
        const QString sans = QStringLiteral("Liberation Sans");
        QTest::newRow("short at 8") << sans << 8 << QStringLiteral("  123.45") << 1 << 8;
        // Two lines at the print size rather than one line smaller.
        QTest::newRow("long at 8") << sans << 8 << QStringLiteral("777777.77") << 2 << 8;
        QTest::newRow("largest at 8") << sans << 8 << QStringLiteral("2147483647.99") << 2 << 8;
        QTest::newRow("long at 12") << sans << 12 << QStringLiteral("777777.77") << 2 << 12;
        // Two lines of 12 points do not hold the largest: one point smaller.
        QTest::newRow("largest at 12") << sans << 12 << QStringLiteral("2147483647.99") << 2 << 11;
        // Lines taller than the space under the total: smaller, one line.
        QTest::newRow("tall face") << sans << 30 << QStringLiteral("  123.45") << 1 << 12;
        QTest::newRow("DejaVu at 10")
            << QStringLiteral("DejaVu Sans") << 10 << QStringLiteral("1777777.77") << 2 << 10;
        QTest::newRow("platform size") << QString() << 0 << QStringLiteral("777777.77") << 2 << 0;
    }
    void wordsNeverCovered() {
        QFETCH(QString, face);
        QFETCH(int, size);
        QFETCH(QString, razem);
        QFETCH(int, lines);
        QFETCH(int, points);
        Office office;
        office.storeFont(face, size);
        ensureCounterFile(office.ws, DocumentKind::KP);
        TraceSurface trace(600, 600);
        Voucher v = sampleVoucher(DocumentKind::KP, false);
        v.razem = razem;
        QCOMPARE(printVoucher(trace, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Printed);
        const QList<Op> ops = drawing(trace);
        auto cell = [&](const Op* op) {
            const SurfaceFont font{op->face, op->height, 0};
            return QRect(QPoint(op->x, op->y), trace.textSize(font, op->text));
        };
        const QString words = *wordsLine(readAmount(razem));
        for (const int d : {0, 140}) {
            const Op* first = textAt(ops, 12 * 24, (d + 95) * 24);
            const Op* second = textAt(ops, 12 * 24, (d + 100) * 24);
            QVERIFY(first);
            QCOMPARE(second ? 2 : 1, lines);
            QCOMPARE(first->height, points ? fontHeight(points, 600) : 0);
            // No face of its own keeps the amounts' face, drawn just before.
            QCOMPARE(first->face, face.isEmpty() ? QStringLiteral("Courier New") : face);
            // Complete, in order; "Razem" and the total stay clear of it.
            QCOMPARE(second ? first->text + QLatin1Char(' ') + second->text : first->text, words);
            QVERIFY(!cell(first).intersects(cell(textAt(ops, 135 * 24, (d + 96) * 24))));
            QVERIFY(cell(first).right() < 135 * 24);
            QVERIFY(cell(first).bottom() < (d + (second ? 100 : 105)) * 24);
            if (second) {
                QCOMPARE(second->height, first->height);
                QVERIFY(cell(second).right() < 180 * 24);
                QVERIFY(cell(second).bottom() < (d + 105) * 24);
            }
        }
    }

    void emptyVoucher() {
        Office office;
        ensureCounterFile(office.ws, DocumentKind::KP);
        TraceSurface trace(600, 600);
        Voucher v;
        v.kind = DocumentKind::KP;
        QCOMPARE(printVoucher(trace, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Printed);
        const QList<Op> ops = drawing(trace);
        // Every frame of both copies is there: bar, two blocks, 10 rows, 11 amount boxes,
        // 5 signature labels and 5 boxes.
        QCOMPARE(std::count_if(ops.begin(), ops.end(),
                               [](const Op& op) { return op.kind == QLatin1String("rect"); }),
                 2 * 34);
        QCOMPARE(textAt(ops, 10 * 24, 6 * 24)->text, QStringLiteral("Dowód wpłaty KP nr 1/"));
        QCOMPARE(textAt(ops, 12 * 24, 95 * 24)->text, QStringLiteral("Słownie : "));
        // No stored print font: the platform's face and size (0), the title 5 points above the
        // platform's 10, never smaller than the text.
        QCOMPARE(textAt(ops, 10 * 24, 6 * 24)->face, QString());
        QCOMPARE(textAt(ops, 10 * 24, 6 * 24)->height, -125);
        QCOMPARE(textAt(ops, 10 * 24, 12 * 24)->height, 0);
    }

    // The counter moves only when paper is really printed.
    void counterOnlyForPrintedPaper() {
        Office office;
        ensureCounterFile(office.ws, DocumentKind::KW);
        ScriptedDialogs dialogs;
        Voucher v = sampleVoucher(DocumentKind::KW, false);

        dialogs.expectPrintCancel();
        QCOMPARE(printVoucher(dialogs, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Cancelled);
        QCOMPARE(office.counter(DocumentKind::KW).next, 1);
        QCOMPARE(v.numerkp, QStringLiteral("57"));
        QCOMPARE(dialogs.shown(), QStringList{QStringLiteral("Dokument Kw")});

        TraceSurface first(600, 600);
        dialogs.expectPrint(first);
        QCOMPARE(printVoucher(dialogs, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Printed);
        QCOMPARE(v.numerkp, QStringLiteral("1"));
        QCOMPARE(v.rozszerzeniekp, QString());
        QCOMPARE(office.counter(DocumentKind::KW).next, 2);
        QCOMPARE(first.lines().count(QStringLiteral("end")), 1);

        // The same voucher again gets the next number; the KP counter is another one.
        TraceSurface second(600, 600);
        dialogs.expectPrint(second);
        printVoucher(dialogs, office.fonts, office.ws, v);
        QCOMPARE(v.numerkp, QStringLiteral("2"));
        QCOMPARE(office.counter(DocumentKind::KW).next, 3);
        QVERIFY(!QFile::exists(office.folder.file(QStringLiteral("DOKUMENTY/nrkp.dat"))));
    }

    // Through the print preview: closing it spends no number; printing from it takes the
    // number the preview showed and draws the same page.
    void previewShowsTheNextNumber() {
        Office office;
        saveCounterParameters(office.ws, DocumentKind::KP, QStringLiteral("41"),
                              QStringLiteral("2026"));
        ScriptedDialogs dialogs;
        dialogs.setPreviewEnabled(true);
        Voucher v = sampleVoucher(DocumentKind::KP, true);

        TraceSurface closed(600, 600);
        dialogs.expectPreview(closed);
        QCOMPARE(printVoucher(dialogs, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Cancelled);
        QCOMPARE(office.counter(DocumentKind::KP).next, 41);
        QCOMPARE(v.numerkp, QStringLiteral("57"));
        QVERIFY(closed.lines().join('\n').contains(QStringLiteral("KP nr 41/2026")));

        TraceSurface preview(600, 600);
        TraceSurface paper(600, 600);
        dialogs.expectPreview(preview, &paper);
        QCOMPARE(printVoucher(dialogs, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Printed);
        QCOMPARE(office.counter(DocumentKind::KP).next, 42);
        QCOMPARE(v.numerkp, QStringLiteral("41"));
        QCOMPARE(paper.lines(), preview.lines());

        // A refused voucher never opens the preview.
        v.razem = QStringLiteral("2147483648.00");
        QCOMPARE(printVoucher(dialogs, office.fonts, office.ws, v).status,
                 VoucherPrintResult::Refused);
        QCOMPARE(dialogs.shown().size(), 2);
    }

    void refusedBeforeTheCounter_data() {
        QTest::addColumn<QString>("razem");
        QTest::addColumn<qint32>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("total beyond the words")
            << QStringLiteral("2147483648.00") << 5 << totalTooLargeMessage();
        QTest::newRow("counter at its largest")
            << QStringLiteral("  123.45") << std::numeric_limits<qint32>::max()
            << CounterFullError().text();
    }

    void refusedBeforeTheCounter() {
        QFETCH(QString, razem);
        QFETCH(qint32, stored);
        QFETCH(QString, message);
        Office office;
        saveCounterParameters(office.ws, DocumentKind::KP, QString::number(stored),
                              QStringLiteral("A"));
        TraceSurface trace(600, 600);
        Voucher v = sampleVoucher(DocumentKind::KP, true);
        v.razem = razem;
        const VoucherPrintResult result = printVoucher(trace, office.fonts, office.ws, v);
        QCOMPARE(result.status, VoucherPrintResult::Refused);
        QCOMPARE(result.message, message);
        QCOMPARE(office.counter(DocumentKind::KP), CounterRecord({stored, QStringLiteral("A")}));
        QCOMPARE(v.numerkp, QStringLiteral("57"));
        // Nothing was drawn, and no document was ended.
        QVERIFY(trace.lines().size() <= 1);
        QVERIFY(!trace.lines().contains(QStringLiteral("end")));
    }

    void failuresLeaveNoPaperOrNoNumber() {
        Office office;
        Voucher v = sampleVoucher(DocumentKind::KP, false);
        // No counter file: the run stops at the counter, the document begun is dropped.
        TraceSurface trace(600, 600);
        QVERIFY_THROWS_EXCEPTION(IoError, printVoucher(trace, office.fonts, office.ws, v));
        QCOMPARE(trace.lines().size(), 1);
        QCOMPARE(v.numerkp, QStringLiteral("57"));

        // A PDF that cannot be written does not spend a number.
        ensureCounterFile(office.ws, DocumentKind::KP);
        PdfSurface pdf(office.folder.file(QStringLiteral("missing/v.pdf")), 600);
        QVERIFY_THROWS_EXCEPTION(IoError, printVoucher(pdf, office.fonts, office.ws, v));
        QCOMPARE(office.counter(DocumentKind::KP).next, 1);
    }

    void pdfWithBothCopies() {
        Office office;
        office.storeFont(QStringLiteral("Arial"), 10);
        ensureCounterFile(office.ws, DocumentKind::KP);
        const QString path = office.folder.file(QStringLiteral("kp.pdf"));
        PdfSurface pdf(path, 600);
        Voucher v = sampleVoucher(DocumentKind::KP, true);
        QCOMPARE(printVoucher(pdf, office.fonts, office.ws, v).status, VoucherPrintResult::Printed);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            QSKIP("pdftotext is not installed: the PDF's text is not checked");
        QProcess process;
        process.start(tool, {path, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(30000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(text.count(QStringLiteral("Dowód wpłaty KP nr 1/")), 2);
        QCOMPARE(text.count(QStringLiteral("Zakład Mięsny")), 2);
        QCOMPARE(text.count(QStringLiteral("pokwitowanie kwoty")), 2);
    }
};

KESTRANA_TEST(PrintoutTest)
#include "PrintoutTest.moc"
