#include "print/TextPrintout.h"
#include "print/PainterSurface.h"
#include "register/Register.h"
#include "reports/DetailedPrintout.h"
#include "reports/PrintoutFixture.h"
#include "support/Poppler.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace kestrana;
using namespace kestrana::test;

using kestrana::test::poppler;

namespace {

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("Wiersz %1 zażółć").arg(i));
    return lines;
}

QList<QStringList> printText(const PrintoutFolder& f, const QString& heading,
                             const QStringList& lines, int dpi = 600) {
    TraceSurface surface(dpi, dpi);
    FontSettings fonts(f.ws.workDir);
    runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
        printTextPages(page, font, heading, lines);
    });
    return pagesOf(surface.lines());
}

} // namespace

class TextPrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void headingAndLines_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("headingHeight");
        QTest::newRow("600") << 600 << -75 << -117;
        QTest::newRow("300") << 300 << -38 << -58;
    }
    void headingAndLines() {
        QFETCH(int, dpi);
        QFETCH(int, height);
        QFETCH(int, headingHeight);
        const int d = dpi / 25;
        PrintoutFolder f;
        const QList<QStringList> pages =
            printText(f, QStringLiteral("Zakład Łódź"),
                      {QStringLiteral("pierwszy"), QString(), QStringLiteral("\ttrzeci")}, dpi);
        QCOMPARE(pages.size(), 1);
        const QList<TraceText> texts = textsOf(pages.first());
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts[0].text, QStringLiteral("Zakład Łódź"));
        QCOMPARE(texts[0].x, 10 * d);
        QCOMPARE(texts[0].y, 6 * d);
        QCOMPARE(texts[0].height, headingHeight);
        QCOMPARE(texts[0].style, QStringLiteral("b"));
        const QStringList expected = {QStringLiteral("pierwszy"), QString(),
                                      QStringLiteral("\\ttrzeci")};
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(texts[i].text, expected[i - 1]);
            QCOMPARE(texts[i].x, 10 * d);
            QCOMPARE(texts[i].y, (16 + 5 * (i - 1)) * d);
            QCOMPARE(texts[i].height, height);
            QCOMPARE(texts[i].style, QStringLiteral("i"));
        }
    }

    // 51 lines a page; the page break follows the 51st line at once.
    void pageBreaks_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<int>>("linesPerPage");
        QTest::newRow("none: the heading only") << 0 << QList<int>{0};
        QTest::newRow("50") << 50 << QList<int>{50};
        QTest::newRow("51: then an empty page") << 51 << QList<int>{51, 0};
        QTest::newRow("52: one on page 2") << 52 << QList<int>{51, 1};
        QTest::newRow("102: then an empty page") << 102 << QList<int>{51, 51, 0};
        QTest::newRow("103") << 103 << QList<int>{51, 51, 1};
    }
    void pageBreaks() {
        QFETCH(int, lines);
        QFETCH(QList<int>, linesPerPage);
        PrintoutFolder f;
        const QList<QStringList> pages =
            printText(f, QStringLiteral("Przewodnik"), numberedLines(lines));
        QCOMPARE(pages.size(), linesPerPage.size());
        int number = 0;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QList<TraceText> texts = textsOf(pages[p]);
            if (p == 0)
                QCOMPARE(texts.takeFirst().text, QStringLiteral("Przewodnik"));
            QCOMPARE(texts.size(), linesPerPage[p]);
            const int top = p == 0 ? 16 : 6;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                QCOMPARE(texts[i].text, QStringLiteral("Wiersz %1 zażółć").arg(++number));
                QCOMPARE(texts[i].y, (top + 5 * int(i)) * 24);
            }
        }
        if (lines >= 51)
            QCOMPARE(findText(pages[0], QStringLiteral("Wiersz 51 zażółć")).y, 266 * 24);
    }

    void runsThroughThePrintDialog() {
        PrintoutFolder f;
        ScriptedDialogs dialogs;
        FontSettings fonts(f.ws.workDir);
        dialogs.expectPrintCancel();
        QVERIFY(!runDescriptionPrintout(dialogs, fonts, QStringLiteral("Firma"), {}));
        TraceSurface description(600, 600);
        dialogs.expectPrint(description);
        QVERIFY(runDescriptionPrintout(dialogs, fonts, QStringLiteral("Firma"), numberedLines(2)));
        TraceSurface notes(300, 300);
        dialogs.expectPrint(notes);
        QVERIFY(runNotepadPrintout(dialogs, fonts, QStringLiteral("Edytor stałej treści"),
                                   numberedLines(52)));
        QCOMPARE(textsOf(pagesOf(description.lines()).first()).first().text,
                 QStringLiteral("Firma"));
        const QList<QStringList> notePages = pagesOf(notes.lines());
        QCOMPARE(notePages.size(), 2);
        QCOMPARE(textsOf(notePages.first()).first().text, QStringLiteral("Edytor stałej treści"));
        QCOMPARE(textsOf(notePages[1]).first().y, 6 * 12);
    }

    // Real PDFs: the page counts of the trace, Polish text readable, the list in landscape.
    void pdfPages_data() {
        QTest::addColumn<QString>("printout");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::newRow("description of 51 lines") << QStringLiteral("text") << 51 << 2;
        QTest::newRow("notepad of 52 lines") << QStringLiteral("text") << 52 << 2;
        QTest::newRow("detailed list of 26 entries") << QStringLiteral("detailed") << 26 << 3;
    }
    void pdfPages() {
        QFETCH(QString, printout);
        QFETCH(int, count);
        QFETCH(int, pages);
        PrintoutFolder f;
        const QString path = f.folder.file(QStringLiteral("wydruk.pdf"));
        {
            PdfSurface surface(path, 600);
            FontSettings fonts(f.ws.workDir);
            EntryRecord buffer;
            f.writeList(numberedEntries(count));
            runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
                if (printout == QLatin1String("detailed"))
                    printDetailedList(page, font, f.ws.listFile(), buffer);
                else
                    printTextPages(page, font, QStringLiteral("Opis firmy Źródło"),
                                   numberedLines(count));
            });
            QVERIFY(!surface.landscape());
        }
        const QString info = poppler(QStringLiteral("pdfinfo"), {path});
        if (info.isNull())
            QSKIP("pdfinfo is not installed");
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(pages))),
                 qPrintable(info));
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
        QVERIFY(size.hasMatch());
        const bool landscape = size.captured(1).toDouble() > size.captured(2).toDouble();
        QCOMPARE(landscape, printout == QLatin1String("detailed"));
        const QString text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        if (printout == QLatin1String("detailed")) {
            QVERIFY2(text.contains(QStringLiteral("Lista firm")), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Adres do korespondencji")));
            QVERIFY(text.contains(QStringLiteral("Firma 26")));
        } else {
            QVERIFY2(text.contains(QStringLiteral("Opis firmy Źródło")), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Wiersz %1 zażółć").arg(count)));
        }
    }
};

KESTRANA_TEST(TextPrintoutTest)
#include "TextPrintoutTest.moc"
