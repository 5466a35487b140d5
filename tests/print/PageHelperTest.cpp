#include "print/PageHelper.h"
#include "platform/IoError.h"
#include "print/ColourValue.h"
#include "print/TraceSurface.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace kestrana;

namespace {

QString tabbed(const QStringList& fields) {
    return fields.join(QLatin1Char('\t'));
}

QString textLine(int x, int y, const QString& face, int height, const QString& style,
                 const QString& colour, const QString& text) {
    return tabbed({QStringLiteral("text"), QString::number(x), QString::number(y), face,
                   QString::number(height), style, colour, text});
}

QString rectLine(int x1, int y1, int x2, int y2,
                 const QString& colour = QStringLiteral("#000000")) {
    return tabbed({QStringLiteral("rect"), QString::number(x1), QString::number(y1),
                   QString::number(x2), QString::number(y2), colour});
}

} // namespace

class PageHelperTest : public QObject {
    Q_OBJECT

private slots:
    void gridSteps_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("corr");
        QTest::addColumn<int>("correctedDpi");
        QTest::addColumn<int>("dots");
        QTest::newRow("600") << 600 << 0 << 600 << 24;
        QTest::newRow("300") << 300 << 0 << 300 << 12;
        QTest::newRow("360: 14.4") << 360 << 0 << 360 << 14;
        QTest::newRow("720: 28.8") << 720 << 0 << 720 << 29;
        QTest::newRow("600 corrected 5%") << 600 << 5 << 630 << 25;
        QTest::newRow("300 corrected -10%") << 300 << -10 << 270 << 11;
        QTest::newRow("1200") << 1200 << 0 << 1200 << 48;
    }
    void gridSteps() {
        QFETCH(int, dpi);
        QFETCH(int, corr);
        QFETCH(int, correctedDpi);
        QFETCH(int, dots);
        const PageMetrics m = computeMetrics(dpi, dpi, corr, corr);
        QCOMPARE(m.dpiX, correctedDpi);
        QCOMPARE(m.dpiY, correctedDpi);
        QCOMPARE(m.dotsX, dots);
        QCOMPARE(m.dotsY, dots);
    }

    void fontHeights_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<int>("height");
        QTest::newRow("9 pt at 300: 37.5 to even 38") << 9 << 300 << -38;
        QTest::newRow("9 pt at 600: 75") << 9 << 600 << -75;
        QTest::newRow("3 pt at 300: 12.5 to even 12") << 3 << 300 << -12;
        QTest::newRow("1 pt at 108: 1.5 to even 2") << 1 << 108 << -2;
        QTest::newRow("5 pt at 300: 20.83") << 5 << 300 << -21;
        QTest::newRow("10 pt at 630 (corrected)") << 10 << 630 << -88;
        QTest::newRow("0 pt: platform default") << 0 << 600 << 0;
        QTest::newRow("-3 pt at 300: -12.5 to even") << -3 << 300 << 12;
    }
    void fontHeights() {
        QFETCH(int, points);
        QFETCH(int, dpiY);
        QFETCH(int, height);
        QCOMPARE(fontHeight(points, dpiY), height);
    }

    // Positions in device dots for the same grid layout at two resolutions.
    void layoutInDeviceDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("600 dpi") << 600
                                 << QStringList{
                                        tabbed({"begin", "portrait", "600", "600"}),
                                        rectLine(240, 360, 480, 648),
                                        textLine(264, 144, "Arial", -75, "-", "#000000", "Ab"),
                                        textLine(0, 0, "Arial", -75, "-", "#000000", "z"),
                                        tabbed({"end"})};
        QTest::newRow("300 dpi") << 300
                                 << QStringList{
                                        tabbed({"begin", "portrait", "300", "300"}),
                                        rectLine(120, 180, 240, 324),
                                        textLine(132, 72, "Arial", -38, "-", "#000000", "Ab"),
                                        textLine(0, 0, "Arial", -38, "-", "#000000", "z"),
                                        tabbed({"end"})};
    }
    void layoutInDeviceDots() {
        QFETCH(int, dpi);
        QFETCH(QStringList, expected);
        TraceSurface trace(dpi, dpi);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        page.Czcionka(QStringLiteral("Arial"), 9);
        // Frames first, then the texts that lie in them.
        page.Ramka(10, 15, 10, 12);
        page.Pisz(11, 6, QStringLiteral("Ab"));
        page.Pisz(0, 0, QStringLiteral("z"));
        page.ZakonczWydruk();
        QCOMPARE(trace.lines(), expected);
    }

    void differentDpiInEachDirection() {
        TraceSurface trace(600, 300);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        QCOMPARE(page.metrics(), (PageMetrics{600, 300, 24, 12, 0, 0}));
        page.Czcionka(QStringLiteral("Arial"), 9); // height from the vertical dpi
        page.Pisz(11, 6, QStringLiteral("x"));
        QCOMPARE(trace.lines().last(), textLine(264, 72, "Arial", -38, "-", "#000000", "x"));
    }

    // The voucher measures with corrections and begins in one step; 0 and 0 is UstawStrone.
    void correctionsOnlyInRozpocznijWydruk() {
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.RozpocznijWydruk(0, 0);
        const PageMetrics plain = page.metrics();
        page.UstawStrone();
        QCOMPARE(page.metrics(), plain);
        page.ZakonczWydruk();
        page.RozpocznijWydruk(5, 5);
        QCOMPARE(page.metrics(), (PageMetrics{630, 630, 25, 25, 5, 5}));
        page.Czcionka(QString(), 10);
        QCOMPARE(page.font().height, -88);
        page.UstawStrone();
        QCOMPARE(page.metrics(), plain);
        page.ZakonczWydruk();
        QCOMPARE(trace.lines().count(QStringLiteral("end")), 2);
    }

    void fontFaceAndStyle() {
        TraceSurface trace(300, 300);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        // Nothing chosen yet: the platform's face and height.
        page.Pisz(1, 1, QStringLiteral("a"));
        page.Czcionka(QString(40, QLatin1Char('F')), 9);
        page.Pisz(1, 1, QStringLiteral("b"));
        page.Czcionka(QString(), 0);
        page.Pisz(1, 1, QStringLiteral("c"));
        page.setFontStyle(fontstyle::Italic | fontstyle::Underline | fontstyle::StrikeOut);
        page.Pisz(1, 1, QStringLiteral("d"));
        page.Pogrubienie(1); // exactly bold: italic, underline and strike-out go
        page.Pisz(1, 1, QStringLiteral("e"));
        page.Pogrubienie(2); // no change
        page.Pisz(1, 1, QStringLiteral("f"));
        page.Pogrubienie(0);
        page.Pisz(1, 1, QStringLiteral("g"));
        page.setFontStyle(0xFF);
        page.Pisz(1, 1, QStringLiteral("h"));
        const QString face31(31, QLatin1Char('F'));
        QCOMPARE(trace.lines().mid(1),
                 (QStringList{textLine(12, 12, "", 0, "-", "#000000", "a"),
                              textLine(12, 12, face31, -38, "-", "#000000", "b"),
                              textLine(12, 12, face31, 0, "-", "#000000", "c"),
                              textLine(12, 12, face31, 0, "ius", "#000000", "d"),
                              textLine(12, 12, face31, 0, "b", "#000000", "e"),
                              textLine(12, 12, face31, 0, "b", "#000000", "f"),
                              textLine(12, 12, face31, 0, "-", "#000000", "g"),
                              textLine(12, 12, face31, 0, "bius", "#000000", "h")}));
    }

    void colours_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("rgb");
        QTest::newRow("black") << int(colour::Black) << QStringLiteral("#000000");
        QTest::newRow("red: low byte") << int(colour::Red) << QStringLiteral("#ff0000");
        QTest::newRow("teal") << int(colour::Teal) << QStringLiteral("#008080");
        QTest::newRow("blue") << 0xFF0000 << QStringLiteral("#0000ff");
        QTest::newRow("window text system colour")
            << int(colour::WindowText) << QStringLiteral("#000000");
    }
    void colours() {
        QFETCH(int, value);
        QFETCH(QString, rgb);
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        page.KolorCzcionki(value);
        page.KolorPiora(value);
        page.Ramka(0, 0, 1, 1);
        page.Pisz(0, 0, QStringLiteral("x"));
        QCOMPARE(trace.lines().at(1), rectLine(0, 0, 24, 24, rgb));
        QVERIFY(trace.lines().at(2).endsWith(QLatin1Char('\t') + rgb + QStringLiteral("\tx")));
        if (value != colour::WindowText)
            QCOMPARE(colour::fromColor(colour::toColor(value)), value);
    }

    void storedFontGivesStyleAndColour() {
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.useStoredFont(PrintFont{QStringLiteral("Courier New"), 10,
                                     fontstyle::Bold | fontstyle::Italic, colour::Teal});
        page.beginDocument();
        page.UstawStrone();
        page.Czcionka(QStringLiteral("Courier New"), 10);
        page.Pisz(2, 3, QStringLiteral("x"));
        QCOMPARE(trace.lines().last(), textLine(48, 72, "Courier New", -83, "bi", "#008080", "x"));
    }

    void pagesPicturesOrientation() {
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.UstawPoziomo();
        page.beginDocument();
        page.UstawStrone();
        page.drawPicture(25, 50, 525, 300, QImage(200, 100, QImage::Format_RGB32));
        page.drawPicture(0, 0, 10, 10, QImage()); // no picture: nothing drawn
        page.newPage();
        page.ZakonczWydruk();
        page.UstawPionowo();
        QVERIFY(!trace.landscape());
        QCOMPARE(trace.lines(),
                 (QStringList{tabbed({"begin", "landscape", "600", "600"}),
                              tabbed({"image", "25", "50", "525", "300", "200", "100"}),
                              tabbed({"page"}), tabbed({"end"})}));
    }

    void textIsEscapedAndFileIsUtf8() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.txt"));
        {
            TraceSurface trace(300, 300, path);
            PageHelper page(trace);
            page.beginDocument();
            page.UstawStrone();
            page.Czcionka(QStringLiteral("Arial"), 9);
            page.Pisz(1, 2, QStringLiteral("Zażółć\tgęślą\\jaźń\r\n"));
            page.ZakonczWydruk();
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = "begin\tportrait\t300\t300\n"
                                    "text\t12\t24\tArial\t-38\t-\t#000000\t" +
                                    QStringLiteral("Zażółć\\tgęślą\\\\jaźń\\r\\n").toUtf8() +
                                    "\nend\n";
        QCOMPARE(file.readAll(), expected);
    }

    // A printout that fails half-way leaves a trace without its "end" and no open document.
    void failedPrintoutIsAborted() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.txt"));
        TraceSurface trace(600, 600, path);
        try {
            PageHelper page(trace);
            page.beginDocument();
            page.UstawStrone();
            page.Pisz(1, 1, QStringLiteral("a"));
            throw std::runtime_error("description file unreadable");
        } catch (const std::runtime_error&) {
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY(written.startsWith("begin\t"));
        QVERIFY(!written.contains("end\n"));
    }

    void drawingOutsideADocumentIsIgnored() {
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.UstawStrone();
        page.Pisz(1, 1, QStringLiteral("a"));
        page.Ramka(1, 1, 1, 1);
        page.newPage();
        page.ZakonczWydruk();
        QVERIFY(trace.lines().isEmpty());
    }

    // A text too wide for its frame is drawn smaller, whole points at a time, and cut only at
    // the smallest size; the font is as it was afterwards.
    void fittedTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("written");
        QTest::addColumn<bool>("cut");
        const QString firm = QStringLiteral("Przedsiębiorstwo Handlowe");
        QTest::newRow("fits") << QStringLiteral("Kraków") << 8 << 20 << 8 << false;
        QTest::newRow("one point smaller") << firm << 8 << 31 << 7 << false;
        QTest::newRow("two points smaller") << firm << 8 << 27 << 6 << false;
        QTest::newRow("cut at the smallest")
            << QStringLiteral("W").repeated(30) << 8 << 20 << 6 << true;
        QTest::newRow("platform size counts from 10") << firm << 0 << 40 << 9 << false;
        QTest::newRow("below the smallest: cut") << firm << 5 << 20 << 5 << true;
    }
    void fittedTexts() {
        QFETCH(QString, text);
        QFETCH(int, points);
        QFETCH(int, right);
        QFETCH(int, written);
        QFETCH(bool, cut);
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        page.Czcionka(QStringLiteral("Liberation Sans"), points);
        const SurfaceFont before = page.font();
        const QString printed = page.writeFitted(1, 2, right, text, kSmallestPrintPoints);
        QCOMPARE(page.font().height, before.height);

        const QStringList f = trace.lines().last().split(QLatin1Char('\t'));
        QCOMPARE(f[7], printed);
        QCOMPARE(f[1], QStringLiteral("24"));
        QCOMPARE(f[4].toInt(), fontHeight(written, 600));
        QCOMPARE(printed != text, cut);
        QVERIFY(text.startsWith(printed));
        SurfaceFont used = before;
        used.height = f[4].toInt();
        const int room = (right - 1) * 24 - 1;
        QVERIFY(trace.textSize(used, printed).width() <= room);
        // Nothing larger would have done: one point more, or one character more, is too wide.
        if (cut)
            QVERIFY(trace.textSize(used, text.left(printed.size() + 1)).width() > room);
        if (written < (points > 0 ? points : kPlatformPoints)) {
            SurfaceFont larger = used;
            larger.height = fontHeight(written + 1, 600);
            QVERIFY(trace.textSize(larger, text).width() > room);
        }
    }

    // A layout placed on other paper is shifted as a whole: texts, frames and pictures.
    void originShiftsEverything() {
        TraceSurface trace(600, 600);
        PageHelper page(trace);
        page.beginDocument();
        page.UstawStrone();
        page.setOrigin(QPoint(-7, 11));
        page.Pisz(1, 1, QStringLiteral("a"));
        page.Ramka(1, 1, 1, 1);
        page.drawPicture(10, 20, 30, 40, QImage(2, 2, QImage::Format_RGB32));
        const QStringList lines = trace.lines();
        QCOMPARE(lines[1].section(QLatin1Char('\t'), 1, 2), QStringLiteral("17\t35"));
        QCOMPARE(lines[2], rectLine(17, 35, 41, 59));
        QCOMPARE(lines[3].section(QLatin1Char('\t'), 1, 4), QStringLiteral("3\t31\t23\t51"));
    }

    void traceThatCannotBeWrittenFails() {
        QTemporaryDir dir;
        TraceSurface trace(600, 600, dir.filePath(QStringLiteral("missing/trace.txt")));
        PageHelper page(trace);
        page.beginDocument();
        QVERIFY_THROWS_EXCEPTION(IoError, page.ZakonczWydruk());
        QVERIFY(!page.documentOpen());
    }
};

KESTRANA_TEST(PageHelperTest)
#include "PageHelperTest.moc"
