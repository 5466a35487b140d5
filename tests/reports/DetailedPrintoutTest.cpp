#include "reports/DetailedPrintout.h"
#include "platform/IoError.h"
#include "register/Register.h"
#include "reports/PrintoutFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using namespace kestrana::test;

namespace {

QStringList printDetailed(PrintoutFolder& f, int dpi, EntryRecord& buffer,
                          bool* portraitAfter = nullptr) {
    TraceSurface surface(dpi, dpi);
    FontSettings fonts(f.ws.workDir);
    runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
        printDetailedList(page, font, f.ws.listFile(), buffer);
    });
    if (portraitAfter)
        *portraitAfter = !surface.landscape();
    return surface.lines();
}

EntryRecord fullEntry() {
    EntryRecord r = entry(QStringLiteral("7"), QStringLiteral("Zakład Łódź"), QStringLiteral("K7"));
    const std::pair<Field, const char*> values[] = {
        {Field::nazwa2, "Spółka"},          {Field::miejscowosc, "Kraków"},
        {Field::adres, "Długa 1"},          {Field::wojewodztwo, "małopolskie"},
        {Field::miejscowosck, "Gdańsk"},    {Field::adresk, "Krótka 2"},
        {Field::wojewodztwok, "pomorskie"}, {Field::personaliao, "Jan Źrebię"},
        {Field::miejscowosco, "Opole"},     {Field::adreso, "Polna 3"},
        {Field::nip, "111-222-33-44"},      {Field::pesel, "80010112345"},
        {Field::regon, "123456789"},        {Field::bank, "Bank Śląski"},
        {Field::konto, "12 3456"},          {Field::telefon, "not printed"},
    };
    for (const auto& [field, text] : values)
        r.setText(field, QString::fromUtf8(text));
    return r;
}

} // namespace

class DetailedPrintoutTest : public QObject {
    Q_OBJECT

private slots:
    void layoutInDeviceDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::newRow("600 dpi") << 600 << -75;
        QTest::newRow("300 dpi: 37.5 to even") << 300 << -38;
    }
    void layoutInDeviceDots() {
        QFETCH(int, dpi);
        QFETCH(int, height);
        const int d = dpi / 25;
        PrintoutFolder f;
        f.writeList({fullEntry()});
        EntryRecord buffer;
        bool portrait = false;
        const QStringList lines = printDetailed(f, dpi, buffer, &portrait);
        QCOMPARE(lines.first(), QStringLiteral("begin\tlandscape\t%1\t%1").arg(dpi));
        QCOMPARE(lines.last(), QStringLiteral("end"));
        QVERIFY(portrait);
        const QList<QStringList> pages = pagesOf(lines);
        QCOMPARE(pages.size(), 1);
        const QStringList& page = pages.first();

        const TraceText title = findText(page, QStringLiteral("Lista firm"));
        QCOMPARE(title.x, 11 * d);
        QCOMPARE(title.y, 6 * d);
        QCOMPARE(title.height, height);
        QCOMPARE(title.face, kFace);
        QCOMPARE(title.style, QStringLiteral("i"));
        QCOMPARE(title.colour, kTeal);

        // Header row at 15 and the entry's row at 27, seven frames each, 12 steps high.
        const QList<TraceRect> rects = rectsOf(page);
        QCOMPARE(rects.size(), 14);
        const int xs[] = {10, 20, 70, 110, 150, 190, 220, 270};
        for (int row = 0; row < 2; ++row) {
            for (int c = 0; c < 7; ++c) {
                const TraceRect& r = rects[row * 7 + c];
                QCOMPARE(r.x1, xs[c] * d);
                QCOMPARE(r.x2, xs[c + 1] * d);
                QCOMPARE(r.y1, (15 + 12 * row) * d);
                QCOMPARE(r.y2, (27 + 12 * row) * d);
            }
        }
        if (dpi == 600) {
            QCOMPARE(rects[0].x1, 240);
            QCOMPARE(rects[0].y1, 360);
            QCOMPARE(rects[0].x2, 480);
            QCOMPARE(rects[0].y2, 648);
        }

        struct Expected {
            const char* text;
            int x;
            int y;
            const char* style;
        };
        const Expected expected[] = {
            {"LP", 11, 20, "b"},
            {"Nazwa", 21, 20, "b"},
            {"Adres siedziby", 71, 20, "b"},
            {"Adres do korespondencji", 111, 20, "b"},
            {"Osoba kontaktowa", 151, 20, "b"},
            {"NIP", 191, 16, "b"},
            {"PESEL", 191, 20, "b"},
            {"REGON", 191, 23, "b"},
            {"Bank i konto", 221, 20, "b"},
            {"1", 11, 31, "i"},
            {"Zakład Łódź", 21, 28, "i"},
            {"Spółka", 21, 32, "i"},
            {"Kraków", 71, 28, "i"},
            {"Długa 1", 71, 32, "i"},
            {"małopolskie", 71, 35, "i"},
            {"Gdańsk", 111, 28, "i"},
            {"Krótka 2", 111, 32, "i"},
            {"pomorskie", 111, 35, "i"},
            {"Jan Źrebię", 151, 28, "i"},
            {"Opole", 151, 32, "i"},
            {"Polna 3", 151, 35, "i"},
            {"111-222-33-44", 191, 28, "i"},
            {"80010112345", 191, 32, "i"},
            {"123456789", 191, 35, "i"},
            {"Bank Śląski", 221, 28, "i"},
            {"12 3456", 221, 32, "i"},
        };
        for (const Expected& e : expected) {
            const TraceText t = findText(page, QString::fromUtf8(e.text));
            QVERIFY2(!t.face.isEmpty(), e.text);
            QCOMPARE(t.x, e.x * d);
            QCOMPARE(t.y, e.y * d);
            QCOMPARE(t.style, QString::fromLatin1(e.style));
            QCOMPARE(t.height, height);
        }
        // The title, nine header texts and seventeen cells: nothing else is printed.
        QCOMPARE(textsOf(page).size(), 1 + 9 + 17);
        QVERIFY(findText(page, QStringLiteral("not printed")).face.isEmpty());
        // A row's frames come before its texts, or the frames would blank them.
        QVERIFY(
            page.indexOf(QRegularExpression(QStringLiteral("^rect\t\\d+\t%1\t.*").arg(27 * d))) <
            page.indexOf(QRegularExpression(QStringLiteral("^text\t\\d+\t%1\t.*").arg(28 * d))));
    }

    // Page 1 holds 12 entries, every further page 13 from y = 5 without title or header.
    void pageBreaks() {
        PrintoutFolder f;
        f.writeList(numberedEntries(26));
        EntryRecord buffer;
        const QList<QStringList> pages = pagesOf(printDetailed(f, 600, buffer));
        QCOMPARE(pages.size(), 3);
        const int expectedFirst[] = {1, 13, 26};
        const int expectedCount[] = {12, 13, 1};
        for (int p = 0; p < 3; ++p) {
            QStringList numbers;
            for (const TraceText& t : textsOf(pages[p])) {
                if (t.x == 11 * 24 && t.text != QLatin1String("Lista firm") &&
                    t.text != QLatin1String("LP"))
                    numbers.append(t.text);
            }
            QCOMPARE(numbers.size(), expectedCount[p]);
            QCOMPARE(numbers.first(), QString::number(expectedFirst[p]));
        }
        QCOMPARE(findText(pages[0], QStringLiteral("Firma 12")).y, (159 + 1) * 24);
        const TraceText n13 = findText(pages[1], QStringLiteral("13"));
        QCOMPARE(n13.y, (5 + 4) * 24);
        QCOMPARE(findText(pages[1], QStringLiteral("Firma 13")).y, (5 + 1) * 24);
        QCOMPARE(findText(pages[1], QStringLiteral("Firma 25")).y, (149 + 1) * 24);
        QCOMPARE(findText(pages[2], QStringLiteral("Firma 26")).y, (5 + 1) * 24);
        for (int p = 1; p < 3; ++p) {
            QVERIFY(findText(pages[p], QStringLiteral("Lista firm")).face.isEmpty());
            QVERIFY(findText(pages[p], QStringLiteral("LP")).face.isEmpty());
            QCOMPARE(rectsOf(pages[p]).first().y1, 5 * 24);
        }
        QCOMPARE(rectsOf(pages[1]).size(), 13 * 7);
        // Every record passed through the buffer, which keeps the last one.
        QCOMPARE(buffer.text(Field::nazwa1), QStringLiteral("Firma 26"));
    }

    void textsCutToTheirCells_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("printed");
        QTest::newRow("nazwa1 40") << int(Field::nazwa1) << 40;
        QTest::newRow("miejscowosc 35") << int(Field::miejscowosc) << 35;
        QTest::newRow("personaliao 35") << int(Field::personaliao) << 35;
        QTest::newRow("nip in full") << int(Field::nip) << 40;
        QTest::newRow("regon in full") << int(Field::regon) << 40;
        QTest::newRow("bank 45") << int(Field::bank) << 45;
    }
    void textsCutToTheirCells() {
        QFETCH(int, field);
        QFETCH(int, printed);
        // Narrow letters: the cut by characters comes before the column's width does.
        const QString text = QStringLiteral("ił").repeated(30);
        EntryRecord r = entry(QStringLiteral("1"), {});
        r.setText(Field(field), text);
        PrintoutFolder f;
        f.writeList({r});
        EntryRecord buffer;
        const QStringList page = pagesOf(printDetailed(f, 600, buffer)).first();
        const int width = layoutOf(Field(field)).width;
        QVERIFY(findText(page, text.left(printed + 1)).face.isEmpty());
        QVERIFY(!findText(page, text.left(std::min(printed, width))).face.isEmpty());
    }

    // A list file that cannot be read aborts the printout and still leaves portrait.
    void missingListFileAbortsAndRestoresPortrait() {
        PrintoutFolder f;
        TraceSurface surface(600, 600);
        FontSettings fonts(f.ws.workDir);
        EntryRecord buffer;
        QVERIFY_THROWS_EXCEPTION(
            IoError, runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
                printDetailedList(page, font, f.ws.listFile(), buffer);
            }));
        QVERIFY(!surface.landscape());
        QVERIFY(surface.lines().first().contains(QLatin1String("landscape")));
        QVERIFY(!surface.lines().contains(QStringLiteral("end")));
    }

    void cancelledDialogPrintsNothing() {
        PrintoutFolder f;
        f.writeList(numberedEntries(2));
        ScriptedDialogs dialogs;
        dialogs.expectPrintCancel();
        FontSettings fonts(f.ws.workDir);
        Register reg(f.ws);
        QVERIFY(!runDetailedPrintout(dialogs, fonts, reg));
        QVERIFY(dialogs.done());

        TraceSurface surface(300, 300);
        dialogs.expectPrint(surface);
        QVERIFY(runDetailedPrintout(dialogs, fonts, reg));
        QCOMPARE(dialogs.shown().last(), QStringLiteral("Wydruk szczegółowy listy"));
        QCOMPARE(reg.buffer().text(Field::nazwa1), QStringLiteral("Firma 2"));
        QCOMPARE(surface.lines().last(), QStringLiteral("end"));
    }
};

KESTRANA_TEST(DetailedPrintoutTest)
#include "DetailedPrintoutTest.moc"
