#include "app/ProgramWindows.h"
#include "print/FontSettings.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QCheckBox>
#include <QTableWidget>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

const QString kBossOnly = QStringLiteral(
    "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa.");

void names(const DataFolder& folder) {
    std::vector<EntryRecord> records;
    int id = 1;
    for (const char* name : {"beta", "Alfa", "alfa2", "Łąka", "Lis"}) {
        EntryRecord r = entry(QString::number(id), QString::fromUtf8(name));
        r.setText(Field::data, QStringLiteral("2007-0%1-01").arg(6 - id));
        records.push_back(r);
        ++id;
    }
    folder.writeEntries(records);
}

QStringList listedNames(const WindowSession& s) {
    QStringList out;
    for (int i = 0; i < s.lista()->count(); ++i)
        out << s.lista()->lineText(i).left(35).trimmed();
    return out;
}

} // namespace

class SortSearchTest : public QObject {
    Q_OBJECT

private slots:
    void sortingIsForTheBoss() {
        DataFolder folder;
        names(folder);
        WindowSession s;
        s.start(folder.path());
        s.prompts.expectInformation(kBossOnly);
        s.trigger("sort1");
    }

    void sortAscendingAndDescending() {
        DataFolder folder;
        names(folder);
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.startAsBoss(folder.path());
        s.prompts.expectQuestion(QStringLiteral("Sortować dane w/g pola Nazwa ?"), false);
        s.trigger("sort1");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);

        s.prompts.expectQuestion(QStringLiteral("Sortować dane w/g pola Nazwa ?"), true);
        s.trigger("sort1");
        QCOMPARE(listedNames(s), QStringList({"Alfa", "alfa2", "beta", "Lis", "Łąka"}));
        QCOMPARE(s.lista()->currentRow(), 0);
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Alfa"));

        s.trigger("s3");
        QVERIFY(s.find<QAction>("s3")->isChecked());
        QVERIFY(!s.find<QAction>("s1")->isChecked());
        s.prompts.expectQuestion(QStringLiteral("Sortować dane w/g pola Data ?"), true);
        s.trigger("sort2");
        QCOMPARE(listedNames(s), QStringList({"beta", "Alfa", "alfa2", "Łąka", "Lis"}));
        QCOMPARE(s.field("nazwa1"), QStringLiteral("beta"));
    }

    void searchGoesDownAndNeverWraps() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 6; ++i)
            records.push_back(entry(QString::number(i), i % 2
                                                            ? QStringLiteral("Firma Alfa %1").arg(i)
                                                            : QStringLiteral("Inna %1").arg(i)));
        folder.writeEntries(records);
        WindowSession s;
        s.start(folder.path());
        s.clickLine(2);
        s.setField("coszukac", QStringLiteral("Alfa"));
        s.click("SpeedButton1");
        QCOMPARE(s.lista()->currentRow(), 4);
        QCOMPARE(s.field("id"), QStringLiteral("5"));
        s.prompts.expectInformation(
            QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków."));
        QTest::keyClick(s.find<QLineEdit>("coszukac"), Qt::Key_Return);
        QCOMPARE(s.field("coszukac"), QString());
        QCOMPARE(s.lista()->currentRow(), 4);
        s.setField("coszukac", QStringLiteral("alfa"));
        s.prompts.expectInformation(
            QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków."));
        s.click("SpeedButton1");
    }

    void listFontDialog_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("no file, cancelled") << false << false;
        QTest::newRow("stored, cancelled") << true << false;
        QTest::newRow("confirmed") << true << true;
    }
    void listFontDialog() {
        QFETCH(bool, stored);
        QFETCH(bool, confirm);
        DataFolder folder;
        QVERIFY(QDir(folder.path()).mkpath("FONT"));
        if (stored) {
            FontRecord record;
            record.setFaceName(QStringLiteral("DejaVu Serif"));
            record.size = 14;
            record.style = 1;
            folder.writeBytes("FONT/fonty_ks_2007.dat", record.toBytes());
        }
        WindowSession s;
        s.startAsBoss(folder.path());
        const QFont atStart = s.lista()->font();
        if (stored) {
            QCOMPARE(atStart.family(), QStringLiteral("DejaVu Serif"));
            QCOMPARE(atStart.pointSize(), 14);
            QVERIFY(atStart.bold());
        }
        if (confirm)
            s.dialogs.expectFont(FontChoice{QStringLiteral("DejaVu Sans Mono"), 11, 2, Qt::blue});
        else
            s.dialogs.expectFont(std::nullopt);
        s.trigger("Dopasujczionklisty1");
        const QFont after = s.lista()->font();
        if (confirm) {
            QCOMPARE(after.family(), QStringLiteral("DejaVu Sans Mono"));
            QCOMPARE(after.pointSize(), 11);
            QVERIFY(after.italic());
            QCOMPARE(FontRecord::fromBytes(folder.readBytes("FONT/fonty_ks_2007.dat")).size, 11);
        } else {
            QCOMPARE(after, atStart);
            QCOMPARE(QFile::exists(folder.file("FONT/fonty_ks_2007.dat")), stored);
        }
    }

    void categoryNamesWindow() {
        DataFolder folder;
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FixedClock clock(QDate(2026, 12, 7), QTime(9, 0));
        ProgramWindows clerk(prompts, dialogs, clock, {"kestrana"}, folder.path());
        QVERIFY(clerk.start());
        prompts.expectInformation(kBossOnly);
        clerk.main().findChild<QAction*>("Definiowanienazwkategorii1")->trigger();
        QVERIFY(clerk.categories().isHidden());
        QVERIFY(prompts.done());

        ProgramWindows boss(prompts, dialogs, clock, {"kestrana", "", "123456789k"}, folder.path());
        prompts.expectInformation(
            QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                           "Poczekaj na jego zwolnienie a następnie ponów operację"));
        QVERIFY(boss.start());
        boss.main().findChild<QAction*>("Definiowanienazwkategorii1")->trigger();
        QVERIFY(boss.categories().isVisible());
        auto* grid = boss.categories().findChild<QTableWidget*>("tabela");
        QVERIFY(grid);
        grid->item(3, 1)->setText(QStringLiteral("Meble biurowe 2000"));
        QVERIFY(boss.categories().storeAndClose());
        QCOMPARE(boss.main().findChild<QCheckBox*>("k3")->text(),
                 QStringLiteral("Meble biurowe 2"));
        QCOMPARE(boss.main().findChild<QCheckBox*>("kat3")->text(),
                 QStringLiteral("Meble biurowe 2"));
    }
};

KESTRANA_TEST(SortSearchTest)
#include "SortSearchTest.moc"
