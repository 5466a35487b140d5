#include "envelope/EnvelopePrintout.h"
#include "envelope/SerialEnvelopes.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/QtPrinterSurface.h"
#include "print/TraceSurface.h"
#include "support/DataFolder.h"
#include "support/Poppler.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

using kestrana::test::poppler;

namespace {

// The window's defaults with every line filled and a 200 × 100 logo at 10, 20 that prints.
EnvelopeFields workedExample() {
    EnvelopeFields f;
    f.settings = EnvelopeSettings::defaults();
    f.settings.sender = {QStringLiteral("Biuro Żuraw"), QStringLiteral("ul. Długa 1"),
                         QStringLiteral("00-001 Warszawa"), QStringLiteral("tel. 22 111")};
    f.form = QStringLiteral("Pan");
    f.recipient = {QStringLiteral("Jan Kowalski"), QStringLiteral("Kwiaty sp. z o.o."),
                   QStringLiteral("ul. Polna 5"), QStringLiteral("Łódź")};
    f.logo = {QStringLiteral("/logo/firma.jpg"), QStringLiteral("10"), QStringLiteral("20")};
    f.printLogo = true;
    f.logoEnabled = true;
    return f;
}

LogoPicture logoOf(const EnvelopeFields& f, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    return {image, f.logo.path};
}

// A print font stored in FONT/ of `workDir`.
void storePrintFont(const QString& workDir, const QString& face, int size) {
    QDir(workDir).mkpath(QStringLiteral("FONT"));
    FontRecord record;
    record.setFaceName(face);
    record.size = size;
    files::writeFile(workDir + QStringLiteral("/FONT/") + kPrintFontFile, record.toBytes());
}

QString textLine(int x, int y, int height, const QString& text) {
    return QStringLiteral("text\t%1\t%2\tArial\t%3\t-\t#000000\t%4")
        .arg(x)
        .arg(y)
        .arg(height)
        .arg(text);
}

// The lines the worked example gives with `step` dots per grid step and the font height.
QStringList expectedTrace(int dpi, int step, int height, const QString& image) {
    const EnvelopeFields f = workedExample();
    QStringList lines{QStringLiteral("begin\tportrait\t%1\t%1").arg(dpi)};
    if (!image.isEmpty())
        lines << image;
    for (int k = 0; k < 4; ++k)
        lines << textLine(5 * step, (6 + 5 * k) * step, height, f.settings.sender[k]);
    lines << textLine(50 * step, 50 * step, height, f.form);
    for (int k = 0; k < 4; ++k)
        lines << textLine(55 * step, (60 + 5 * k) * step, height, f.recipient[k]);
    lines << QStringLiteral("end");
    return lines;
}

QStringList traceOf(const EnvelopeFields& f, const LogoPicture& picture, int dpi,
                    const QString& workDir) {
    TraceSurface trace(dpi, dpi);
    FontSettings fonts(workDir);
    runPrintout(trace, fonts, envelopePrintout(f, picture));
    return trace.lines();
}

// A printer whose printable area begins further in on its own page than on envelope paper, as
// printer drivers report it.
class MarginTrace : public TraceSurface {
public:
    using TraceSurface::TraceSurface;
    QPoint printableOrigin() const override {
        return paper().isValid() ? QPoint(24, 24) : QPoint(118, 71);
    }
};

// Where a word of the first page of a PDF lies, in points from the paper's top-left corner.
QPointF wordAt(const QString& pdf, const QString& word) {
    const QString html =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>") +
        QRegularExpression::escape(word) + QStringLiteral("</word>"));
    const QRegularExpressionMatch match = re.match(html);
    return match.hasMatch() ? QPointF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QPointF(-1, -1);
}

} // namespace

class EnvelopePrintTest : public QObject {
    Q_OBJECT

private slots:
    // Device dots at two resolutions: the texts follow the grid, the logo stays at 2.5 dots
    // per pixel whatever the resolution.
    void workedExampleInDeviceDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("height");
        QTest::newRow("600 dpi") << 600 << 24 << -100;
        QTest::newRow("300 dpi") << 300 << 12 << -50;
    }
    void workedExampleInDeviceDots() {
        QFETCH(int, dpi);
        QFETCH(int, step);
        QFETCH(int, height);
        QTemporaryDir work;
        storePrintFont(work.path(), QStringLiteral("Arial"), 12);
        const EnvelopeFields f = workedExample();
        QCOMPARE(
            traceOf(f, logoOf(f, QSize(200, 100)), dpi, work.path()),
            expectedTrace(dpi, step, height, QStringLiteral("image\t25\t50\t525\t300\t200\t100")));
    }

    void logoRounding_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("image");
        // 12.5 to even 12, 512.5 cut to 512; 7.5 to even 8, 507.5 cut to 507.
        QTest::newRow("left 5") << "5"
                                << "0"
                                << "image\t12\t0\t512\t250\t200\t100";
        QTest::newRow("left 3, top 3") << "3"
                                       << "3"
                                       << "image\t8\t8\t507\t257\t200\t100";
        QTest::newRow("typed text") << "10 pix"
                                    << ""
                                    << "image\t25\t0\t525\t250\t200\t100";
    }
    void logoRounding() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QString, image);
        QTemporaryDir work;
        EnvelopeFields f = workedExample();
        f.logo.left = left;
        f.logo.top = top;
        const QStringList lines = traceOf(f, logoOf(f, QSize(200, 100)), 600, work.path());
        QCOMPARE(lines.value(1), image);
    }

    // Empty lines still take their step and are written; a ticked logo box without a held
    // picture draws nothing.
    void everyLineIsWrittenInOrder() {
        QTemporaryDir work;
        EnvelopeFields f = workedExample();
        f.settings.sender[3].clear();
        f.recipient[3].clear();
        f.settings.spacing = QStringLiteral("0");
        TraceSurface trace(600, 600);
        FontSettings fonts(work.path()); // no stored font: the platform's face and height
        runPrintout(trace, fonts, envelopePrintout(f, LogoPicture()));
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[4], QStringLiteral("text\t120\t144\t\t0\t-\t#000000\t"));
        QCOMPARE(lines[5], QStringLiteral("text\t1200\t1200\t\t0\t-\t#000000\tPan"));
        QCOMPARE(lines[9], QStringLiteral("text\t1320\t1320\t\t0\t-\t#000000\t"));
    }

    void landscapeAndBackToPortrait() {
        QTemporaryDir work;
        EnvelopeFields f = workedExample();
        f.landscape = true;
        TraceSurface trace(600, 600);
        FontSettings fonts(work.path());
        runPrintout(trace, fonts, envelopePrintout(f, logoOf(f, QSize(200, 100))));
        QCOMPARE(trace.lines().first(), QStringLiteral("begin\tlandscape\t600\t600"));
        QVERIFY(!trace.landscape());

        // Also when the document cannot be finished.
        TraceSurface broken(600, 600, work.filePath(QStringLiteral("brak/koperta.txt")));
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 runPrintout(broken, fonts, envelopePrintout(f, LogoPicture())));
        QVERIFY(!broken.landscape());
    }

    // On envelope paper the layout keeps its place: shifted by the difference between where the
    // printer's page and the envelope begin their printable areas; the printer's page is back
    // afterwards.
    void envelopePaperShiftsByThePrintableArea() {
        QTemporaryDir work;
        storePrintFont(work.path(), QStringLiteral("Arial"), 12);
        EnvelopeFields f = workedExample();
        f.paper = EnvelopePaper::C5;
        MarginTrace trace(600, 600);
        FontSettings fonts(work.path());
        runPrintout(trace, fonts, envelopePrintout(f, logoOf(f, QSize(200, 100))));
        QStringList expected =
            expectedTrace(600, 24, -100, QStringLiteral("image\t119\t97\t619\t347\t200\t100"));
        for (QString& line : expected) {
            QStringList fields = line.split(QLatin1Char('\t'));
            if (fields[0] == QLatin1String("text")) {
                fields[1] = QString::number(fields[1].toInt() + 94);
                fields[2] = QString::number(fields[2].toInt() + 47);
                line = fields.join(QLatin1Char('\t'));
            }
        }
        expected.insert(1, QStringLiteral("paper\tEnvelope C5\t162\t229"));
        QCOMPARE(trace.lines(), expected);
        QVERIFY(!trace.paper().isValid());
        QCOMPARE(trace.printableOrigin(), QPoint(118, 71));
    }

    // Serial envelopes go on the envelope's paper too: one document, one envelope a page.
    void serialEnvelopesOnEnvelopePaper() {
        kestrana::test::DataFolder folder;
        std::vector<EntryRecord> entries;
        for (const char* town : {"Łódź", "Kraków"}) {
            EntryRecord r = kestrana::test::entry(QStringLiteral("1"), QStringLiteral("Firma"));
            r.setText(Field::miejscowosc, QString::fromUtf8(town));
            entries.push_back(r);
        }
        folder.writeEntries(entries);
        folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"),
                          folder.readBytes(QStringLiteral("DANE/spis_ks.dat")));
        EnvelopeFields f = workedExample();
        f.paper = EnvelopePaper::DL;
        f.landscape = true;
        TraceSurface trace(600, 600);
        FontSettings fonts(folder.path());
        runPrintout(trace, fonts,
                    serialEnvelopePrintout(f, {}, folder.file(QStringLiteral("DANE/sp_ks.dat")),
                                           AddressBlock::Seat));
        const QStringList lines = trace.lines();
        QCOMPARE(lines.value(0), QStringLiteral("begin\tlandscape\t600\t600"));
        QCOMPARE(lines.value(1), QStringLiteral("paper\tEnvelope DL\t110\t220"));
        QCOMPARE(lines.count(QStringLiteral("page")), 1);
        QVERIFY(!trace.paper().isValid());
        QVERIFY(!trace.landscape());
    }

    // A PDF printer: the page is the envelope's, in the orientation chosen, and the address
    // lies as far from the paper's corner as on the printer's own page.
    void pdfOnEnvelopePaper_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("size");
        QTest::newRow("DL landscape") << int(EnvelopePaper::DL) << true << "624 x 312";
        QTest::newRow("C6 landscape") << int(EnvelopePaper::C6) << true << "459 x 323";
        QTest::newRow("C5 portrait") << int(EnvelopePaper::C5) << false << "459 x 649";
        QTest::newRow("C4 landscape") << int(EnvelopePaper::C4) << true << "918 x 649";
    }
    void pdfOnEnvelopePaper() {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(QString, size);
        QTemporaryDir work;
        storePrintFont(work.path(), QStringLiteral("DejaVu Sans"), 12);
        EnvelopeFields f = workedExample();
        f.landscape = landscape;
        FontSettings fonts(work.path());
        bool restored = true;
        auto printed = [&](EnvelopePaper on, const QString& name) {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(work.filePath(name));
            printer->setPageMargins(QMarginsF(6, 4, 6, 4), QPageLayout::Millimeter);
            QPrinter& shared = *printer;
            PrinterSurface surface(std::move(printer));
            f.paper = on;
            runPrintout(surface, fonts, envelopePrintout(f, {}));
            // The shared printer is on its own page again for the next printout.
            restored = restored && shared.pageLayout().pageSize().id() == QPageSize::A4 &&
                       shared.pageLayout().orientation() == QPageLayout::Portrait;
            return work.filePath(name);
        };
        const QString onPage = printed(EnvelopePaper::PrinterPage, QStringLiteral("a4.pdf"));
        const QString onEnvelope = printed(EnvelopePaper(paper), QStringLiteral("koperta.pdf"));
        QVERIFY(restored);
        const QString info = poppler(QStringLiteral("pdfinfo"), {onEnvelope});
        if (info.isNull())
            QSKIP("poppler-utils are not installed");
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size: +") + size + " pts")),
                 qPrintable(info));
        const QPointF there = wordAt(onEnvelope, QStringLiteral("Kowalski"));
        const QPointF here = wordAt(onPage, QStringLiteral("Kowalski"));
        QVERIFY(there.x() > 0);
        QVERIFY(qAbs(there.x() - here.x()) < 0.5 && qAbs(there.y() - here.y()) < 0.5);
    }

    void pdfCarriesTheLogo() {
        QTemporaryDir work;
        storePrintFont(work.path(), QStringLiteral("DejaVu Sans"), 12);
        const EnvelopeFields f = workedExample();
        const QString pdf = work.filePath(QStringLiteral("koperta.pdf"));
        {
            PdfSurface surface(pdf, 300);
            FontSettings fonts(work.path());
            runPrintout(surface, fonts, envelopePrintout(f, logoOf(f, QSize(200, 100))));
        }
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        const QString images = poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        if (images.isNull())
            QSKIP("pdfimages is not installed");
        const QStringList rows = images.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QCOMPARE(rows.size(), 1);
        const QStringList columns = rows[0].simplified().split(QLatin1Char(' '));
        QCOMPARE(columns.value(3), QStringLiteral("200")); // width
        QCOMPARE(columns.value(4), QStringLiteral("100")); // height
        const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        if (!text.isNull()) {
            QVERIFY(text.contains(QStringLiteral("Biuro Żuraw")));
            QVERIFY(text.contains(QStringLiteral("Łódź")));
        }
    }
};

KESTRANA_TEST(EnvelopePrintTest)
#include "EnvelopePrintTest.moc"
