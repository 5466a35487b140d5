#include "envelope/EnvelopePrintout.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "print/FontSettings.h"
#include "print/PainterSurface.h"
#include "print/TraceSurface.h"
#include "support/Poppler.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
