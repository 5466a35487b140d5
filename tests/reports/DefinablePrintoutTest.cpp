#include "reports/DefinablePrintout.h"
#include "register/Register.h"
#include "reports/PrintoutFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using namespace kestrana::test;

namespace {

QList<QStringList> printDefinable(PrintoutFolder& f, const DefinableSettings& settings,
                                  int dpi = 600, QStringList* lines = nullptr) {
    TraceSurface surface(dpi, dpi);
    FontSettings fonts(f.ws.workDir);
    EntryRecord buffer;
    runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
        printDefinableList(page, font, settings, f.ws.listFile(), buffer);
    });
    if (lines)
        *lines = surface.lines();
    return pagesOf(surface.lines());
}

// The running numbers printed on a page, in order.
QStringList numbersOn(const QStringList& page) {
    QStringList numbers;
    for (const TraceText& t : textsOf(page)) {
        bool isNumber = false;
        t.text.toInt(&isNumber);
        if (t.x == 11 * 24 && isNumber)
            numbers.append(t.text);
    }
    return numbers;
}

EntryRecord richEntry() {
    EntryRecord r =
        entry(QStringLiteral("5"), QStringLiteral("Przedsiębiorstwo"), QStringLiteral("K-5"));
    r.setText(Field::miejscowosc, QStringLiteral("Łódź"));
    r.setText(Field::adres, QStringLiteral("Piotrkowska 1"));
    r.setText(Field::telefon, QStringLiteral("42 123"));
    r.setText(Field::mail, QStringLiteral("biuro@firma.pl"));
    r.setText(Field::bank, QStringLiteral("Bank Ziemi"));
    r.setText(Field::konto, QStringLiteral("10 2000"));
    r.setText(Field::nip, QStringLiteral("725-00"));
    r.setText(Field::pesel, QStringLiteral("7001"));
    r.setText(Field::regon, QStringLiteral("4700"));
    r.setText(Field::personaliao, QStringLiteral("Anna Żak"));
    return r;
}

} // namespace

class DefinablePrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void choicesNameTheirFields_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("printed");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("Miejscowość") << QStringLiteral("Miejscowość") << QStringLiteral("Łódź");
        QTest::newRow("Adres") << QStringLiteral("Adres") << QStringLiteral("Piotrkowska 1");
        QTest::newRow("Telefon") << QStringLiteral("Telefon") << QStringLiteral("42 123");
        QTest::newRow("E-mail") << QStringLiteral("E-mail") << QStringLiteral("biuro@firma.pl");
        QTest::newRow("Kod") << QStringLiteral("Kod") << QStringLiteral("K-5");
        QTest::newRow("Bank") << QStringLiteral("Bank") << QStringLiteral("Bank Ziemi");
        QTest::newRow("Konto") << QStringLiteral("Konto") << QStringLiteral("10 2000");
        QTest::newRow("NIP") << QStringLiteral("NIP") << QStringLiteral("725-00");
        QTest::newRow("PESEL") << QStringLiteral("PESEL") << QStringLiteral("7001");
        QTest::newRow("REGON") << QStringLiteral("REGON") << QStringLiteral("4700");
        QTest::newRow("Odpowiedzialny")
            << QStringLiteral("Odpowiedzialny") << QStringLiteral("Anna Żak");
        QTest::newRow("typed, no item") << QStringLiteral("Miasto") << QString();
        QTest::newRow("item in other case") << QStringLiteral("nip") << QString();
    }
    void choicesNameTheirFields() {
        QFETCH(QString, item);
        QFETCH(QString, printed);
        QCOMPARE(definableFieldChoices().size(), 12);
        PrintoutFolder f;
        f.writeList({richEntry()});
        DefinableSettings settings;
        settings.pole[3] = item; // pole4: area 4, top line
        const QStringList page = printDefinable(f, settings).first();
        // The header shows the box text as it reads, in bold; the row the chosen field.
        const QList<TraceText> texts = textsOf(page);
        const auto at = [&](int x, int y) {
            for (const TraceText& t : texts) {
                if (t.x == x * 24 && t.y == y * 24)
                    return t;
            }
            return TraceText{};
        };
        QCOMPARE(at(111, 22).text, item);
        QCOMPARE(at(111, 22).style, QStringLiteral("b"));
        QCOMPARE(at(111, 35).text, printed);
        QCOMPARE(at(111, 35).style, QStringLiteral("i"));
    }

    void threeLineLayout_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("titleHeight");
        QTest::newRow("600") << 600 << -75 << -117;
        QTest::newRow("300") << 300 << -38 << -58;
    }
    void threeLineLayout() {
        QFETCH(int, dpi);
        QFETCH(int, height);
        QFETCH(int, titleHeight);
        const int d = dpi / 25;
        PrintoutFolder f;
        EntryRecord r = richEntry();
        // Narrow letters: the cuts by characters come before the areas' widths do.
        r.setText(Field::nazwa1,
                  QStringLiteral("i").repeated(20) + QStringLiteral("ł").repeated(40));
        r.setText(Field::bank, QStringLiteral("l").repeated(35) + QStringLiteral("ś").repeated(25));
        f.writeList({r});
        DefinableSettings settings;
        settings.pole = {QStringLiteral("Bank"),
                         QStringLiteral("Kod"),
                         QStringLiteral("Bank"),
                         QStringLiteral("Miejscowość"),
                         QString(),
                         QStringLiteral("REGON")};
        settings.tytul = QStringLiteral("Zestawienie ośrodków");
        QStringList lines;
        const QList<QStringList> pages = printDefinable(f, settings, dpi, &lines);
        QCOMPARE(lines.first(), QStringLiteral("begin\tportrait\t%1\t%1").arg(dpi));
        QCOMPARE(pages.size(), 1);
        const QStringList& page = pages.first();

        const TraceText heading = findText(page, QStringLiteral("Lista firm"));
        QCOMPARE(heading.x, 11 * d);
        QCOMPARE(heading.y, 6 * d);
        QCOMPARE(heading.height, titleHeight);
        const TraceText title = findText(page, settings.tytul);
        QCOMPARE(title.y, 14 * d);
        QCOMPARE(title.height, height);

        // Header at 21 and the row at 34, five areas 13 steps high.
        const QList<TraceRect> rects = rectsOf(page);
        QCOMPARE(rects.size(), 10);
        const int xs[] = {10, 20, 60, 110, 160, 180};
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(rects[i].x1, xs[i % 5] * d);
            QCOMPARE(rects[i].x2, xs[i % 5 + 1] * d);
            QCOMPARE(rects[i].y1, (i < 5 ? 21 : 34) * d);
            QCOMPARE(rects[i].y2, (i < 5 ? 34 : 47) * d);
        }

        struct Expected {
            QString text;
            int x;
            int y;
            const char* style;
        };
        const QString bank40 = r.text(Field::bank).left(40);
        const Expected expected[] = {
            {QStringLiteral("LP"), 11, 26, "b"},
            {QStringLiteral("Personalia"), 21, 26, "b"},
            {QStringLiteral("Uwagi"), 161, 26, "b"},
            {QStringLiteral("Kod"), 61, 26, "b"},
            {QStringLiteral("Miejscowość"), 111, 22, "b"},
            {QStringLiteral("REGON"), 111, 30, "b"},
            {QStringLiteral("1"), 11, 39, "i"},
            {r.text(Field::nazwa1).left(35), 21, 39, "i"},
            {bank40, 61, 35, "i"},
            {QStringLiteral("K-5"), 61, 39, "i"},
            {QStringLiteral("Łódź"), 111, 35, "i"},
            {QStringLiteral("4700"), 111, 43, "i"},
        };
        for (const Expected& e : expected) {
            const TraceText t = findText(page, e.text);
            QVERIFY2(!t.face.isEmpty(), qPrintable(e.text));
            QCOMPARE(t.x, e.x * d);
            QCOMPARE(t.y, e.y * d);
            QCOMPARE(t.style, QString::fromLatin1(e.style));
        }
        // The same field in two boxes prints twice; the cut keeps the first characters.
        int bankLines = 0;
        for (const TraceText& t : textsOf(page))
            bankLines += t.text == bank40 ? 1 : 0;
        QCOMPARE(bankLines, 2);
        QCOMPARE(findText(page, bank40).text.size(), 40);
        QVERIFY(findText(page, r.text(Field::nazwa1).left(36)).face.isEmpty());
    }

    // In one-line rows only pole2 and pole5 count, in the header and in the rows.
    void oneLineRowsUsePole2AndPole5Only() {
        PrintoutFolder f;
        f.writeList({richEntry()});
        DefinableSettings settings;
        settings.form = RowForm::OneLine;
        settings.pole = {QStringLiteral("NIP"),    QStringLiteral("Telefon"),
                         QStringLiteral("Konto"),  QStringLiteral("PESEL"),
                         QStringLiteral("E-mail"), QStringLiteral("Kod")};
        const QStringList page = printDefinable(f, settings).first();
        for (const char* absent : {"NIP", "Konto", "PESEL", "Kod", "725-00", "10 2000", "K-5"})
            QVERIFY2(findText(page, QString::fromUtf8(absent)).face.isEmpty(), absent);
        QCOMPARE(findText(page, QStringLiteral("LP")).y, 22 * 24);
        QCOMPARE(findText(page, QStringLiteral("Personalia")).y, 22 * 24);
        QCOMPARE(findText(page, QStringLiteral("Telefon")).x, 61 * 24);
        QCOMPARE(findText(page, QStringLiteral("Telefon")).y, 22 * 24);
        QCOMPARE(findText(page, QStringLiteral("E-mail")).x, 111 * 24);
        QCOMPARE(findText(page, QStringLiteral("Uwagi")).y, 22 * 24);
        QCOMPARE(findText(page, QStringLiteral("42 123")).y, 28 * 24);
        QCOMPARE(findText(page, QStringLiteral("biuro@firma.pl")).y, 28 * 24);
        QCOMPARE(findText(page, QStringLiteral("Przedsiębiorstwo")).y, 28 * 24);
        QCOMPARE(rectsOf(page).last().y2, 33 * 24);
        for (int box = 1; box <= 6; ++box) {
            QCOMPARE(definableBoxInUse(box, RowForm::OneLine), box == 2 || box == 5);
            QVERIFY(definableBoxInUse(box, RowForm::ThreeLines));
        }
    }

    void pageBreaks_data() {
        QTest::addColumn<bool>("oneLine");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QList<int>>("firstOnPage");
        QTest::addColumn<QList<int>>("firstY");
        QTest::addColumn<QList<int>>("lastY");
        QTest::newRow("three-line: 18, then 19") << false << 38 << QList<int>{1, 19, 38}
                                                 << QList<int>{34, 5, 5} << QList<int>{255, 239, 5};
        QTest::newRow("one-line: 40, then 41") << true << 82 << QList<int>{1, 41, 82}
                                               << QList<int>{27, 5, 5} << QList<int>{261, 245, 5};
        QTest::newRow("three-line: 18 fill page 1")
            << false << 18 << QList<int>{1} << QList<int>{34} << QList<int>{255};
    }
    void pageBreaks() {
        QFETCH(bool, oneLine);
        QFETCH(int, entries);
        QFETCH(QList<int>, firstOnPage);
        QFETCH(QList<int>, firstY);
        QFETCH(QList<int>, lastY);
        PrintoutFolder f;
        f.writeList(numberedEntries(entries));
        DefinableSettings settings;
        settings.form = oneLine ? RowForm::OneLine : RowForm::ThreeLines;
        const QList<QStringList> pages = printDefinable(f, settings);
        QCOMPARE(pages.size(), firstOnPage.size());
        const int dy = oneLine ? 1 : 5;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const QStringList numbers = numbersOn(pages[p]);
            QCOMPARE(numbers.first().toInt(), firstOnPage[p]);
            const int last = p + 1 < pages.size() ? firstOnPage[p + 1] - 1 : entries;
            QCOMPARE(numbers.last().toInt(), last);
            QCOMPARE(numbers.size(), last - firstOnPage[p] + 1);
            QCOMPARE(findText(pages[p], numbers.first()).y, (firstY[p] + dy) * 24);
            QCOMPARE(findText(pages[p], numbers.last()).y, (lastY[p] + dy) * 24);
            QCOMPARE(findText(pages[p], QStringLiteral("Lista firm")).face.isEmpty(), p > 0);
            QCOMPARE(findText(pages[p], QStringLiteral("Uwagi")).face.isEmpty(), p > 0);
        }
    }

    // An empty title is still written and still moves the header down to y = 21.
    void emptyTitleKeepsTheHeaderAt21() {
        PrintoutFolder f;
        f.writeList(numberedEntries(1));
        const QStringList page = printDefinable(f, DefinableSettings{}).first();
        QCOMPARE(rectsOf(page).first().y1, 21 * 24);
        QCOMPARE(findText(page, QStringLiteral("LP")).y, 26 * 24);
    }

    void printRunThroughTheDialog() {
        PrintoutFolder f;
        f.writeList(numberedEntries(3));
        ScriptedDialogs dialogs;
        FontSettings fonts(f.ws.workDir);
        Register reg(f.ws);
        dialogs.expectPrintCancel();
        QVERIFY(!runDefinablePrintout(dialogs, fonts, reg, {}));
        TraceSurface surface(600, 600);
        dialogs.expectPrint(surface);
        QVERIFY(runDefinablePrintout(dialogs, fonts, reg, {}));
        QCOMPARE(dialogs.shown().last(), QStringLiteral("Wydruk definiowalny"));
        QCOMPARE(reg.buffer().text(Field::nazwa1), QStringLiteral("Firma 3"));
        QCOMPARE(numbersOn(pagesOf(surface.lines()).first()).size(), 3);
    }
};

KESTRANA_TEST(DefinablePrintoutTest)
#include "DefinablePrintoutTest.moc"
