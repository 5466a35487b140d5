#include "register/Search.h"
#include "register/ListLine.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using kestrana::test::entry;

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void nextMatchingLine_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("found");
        const QStringList lines = {"Zakład 0", "Alfa 1", "Beta 2", "Gamma 3", "Delta 4", "Alfa 5"};
        QTest::newRow("below the selection, not above")
            << lines << 3 << QStringLiteral("Alfa") << 5;
        QTest::newRow("after the last match") << lines << 5 << QStringLiteral("Alfa") << -1;
        QTest::newRow("selected line itself skipped") << lines << 1 << QStringLiteral("Alfa") << 5;
        QTest::newRow("nothing selected: from the top")
            << lines << -1 << QStringLiteral("Alfa") << 1;
        QTest::newRow("any position in the line") << lines << -1 << QStringLiteral("a 4") << 4;
        QTest::newRow("letter case counts") << lines << -1 << QStringLiteral("alfa") << -1;
        QTest::newRow("Polish letters exactly") << lines << -1 << QStringLiteral("zakład") << -1;
        QTest::newRow("empty text matches nothing") << lines << -1 << QStringLiteral("") << -1;
        QTest::newRow("empty list") << QStringList{} << -1 << QStringLiteral("Alfa") << -1;
    }
    void nextMatchingLine() {
        QFETCH(QStringList, lines);
        QFETCH(int, selected);
        QFETCH(QString, text);
        QFETCH(int, found);
        QCOMPARE(findNextLine(lines, selected, text), found);
    }

    // What a line holds decides what is found: the hidden second name and NIP in every view,
    // the code only where the view shows it, the record number always.
    void foundByTheLinesHiddenParts_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("codeShown");
        QTest::newRow("Nazwa") << 1 << false;
        QTest::newRow("Nazwa i kod") << 2 << true;
        QTest::newRow("Kod i nazwa") << 3 << true;
        QTest::newRow("Nazwa i telefon") << 4 << false;
        QTest::newRow("Nazwa i E-mail") << 5 << false;
    }
    void foundByTheLinesHiddenParts() {
        QFETCH(int, mode);
        QFETCH(bool, codeShown);
        const auto view = static_cast<ViewMode>(mode);
        EntryRecord target =
            entry(QStringLiteral("7"), QStringLiteral("Tęcza"), QStringLiteral("KOD-77"));
        target.setText(Field::nazwa2, u"Oddział Północ");
        target.setText(Field::nip, u"5261040828");
        const QStringList lines = {
            listLine(entry(QStringLiteral("1"), QStringLiteral("Alfa")), 1, view),
            listLine(target, 4567, view),
        };
        QCOMPARE(findNextLine(lines, -1, QStringLiteral("Północ")), 1);
        QCOMPARE(findNextLine(lines, -1, QStringLiteral("26104")), 1);
        QCOMPARE(findNextLine(lines, -1, QStringLiteral("4567")), 1);
        QCOMPARE(findNextLine(lines, -1, QStringLiteral("KOD-77")), codeShown ? 1 : -1);
    }
};

KESTRANA_TEST(SearchTest)
#include "SearchTest.moc"
