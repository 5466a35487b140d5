#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

void codes(const DataFolder& folder) {
    std::vector<EntryRecord> records;
    int id = 1;
    for (const char* code : {"123", "1-2", "A12", "X"}) {
        EntryRecord r = entry(QString::number(id), QStringLiteral("Firma %1").arg(id), code);
        r.setText(Field::data, id % 2 ? u"2007-06-15" : u"2008-01-01");
        r.setCategory(2, id != 3);
        r.setCategory(5, id >= 3);
        records.push_back(r);
        ++id;
    }
    folder.writeEntries(records);
}

QStringList listedCodes(const WindowSession& s) {
    QStringList out;
    for (int i = 0; i < s.lista()->count(); ++i)
        out << s.lista()->lineText(i).section(' ', 0, 0);
    return out;
}

} // namespace

class FilterPanelTest : public QObject {
    Q_OBJECT

private slots:
    void openingTakesOverTheWindow() {
        DataFolder folder;
        codes(folder);
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton15");
        s.click("SpeedButton19");
        auto* panel = s.find<QWidget>("Panel12");
        QVERIFY(!panel->isHidden());
        QCOMPARE(panel->geometry(), QRect(160, 48, 655, 489));
        QVERIFY(!s.window->addMode());
        QCOMPARE(s.field("nazwa1"), QString());
        for (const char* name :
             {"Panel1", "Panel2", "SpeedButton9", "SpeedButton15", "SpeedButton19"})
            QVERIFY2(!s.find<QWidget>(QLatin1String(name))->isEnabled(), name);
        s.window->updateStatus();
        QCOMPARE(s.find<QLabel>("Label8")->text(), QStringLiteral("wybrana kategoria lub grupa"));
    }

    // A text Windows-1250 cannot hold matches nothing, not the '?' it would be stored as.
    void lackingCharacterMatchesNothingAndSaysWhy() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Firma ?"), entry("2", "Firma ж")});
        WindowSession s;
        s.start(folder.path());
        QCOMPARE(s.lista()->count(), 2);
        s.click("SpeedButton19");
        s.setField("nazwa1_s", QStringLiteral("ж"));
        s.prompts.expectInformation(
            QStringLiteral("Filtr zawiera znaki, których nie ma w polskim kodowaniu Windows-1250, "
                           "w którym rejestr zapisuje teksty: „ж” (Nazwa). Żaden wpis nie może ich "
                           "zawierać, więc lista jest pusta."));
        s.click("BitBtn10");
        QVERIFY(s.prompts.done());
        QCOMPARE(s.lista()->count(), 0);
    }

    void emptyFilteredListLeavesNothingToSave() {
        DataFolder folder;
        codes(folder);
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton19");
        s.setField("kod_s", "no such code");
        s.click("BitBtn10");
        QCOMPARE(s.lista()->count(), 0);
        s.prompts.expectInformation(QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                                   "Wybierz wpis z listy i ponów operację."));
        s.click("SpeedButton17");
        s.prompts.expectInformation(QStringLiteral("Nie można skasować ostatniego wpisu."));
        s.click("SpeedButton16");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
    }

    void filters_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("nothing set")
            << QString() << QString() << QStringList{"Firma", "Firma", "Firma", "Firma"};
        QTest::newRow("code 12") << "kod_s"
                                 << "12" << QStringList{"Firma", "Firma"};
        QTest::newRow("kat2 and kat5") << "kat"
                                       << "" << QStringList{"Firma"};
        QTest::newRow("dates of 2007") << "dates"
                                       << "" << QStringList{"Firma", "Firma"};
    }
    void filters() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        DataFolder folder;
        codes(folder);
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton19");
        if (control == "kod_s") {
            s.setField("kod_s", text);
        } else if (control == "kat") {
            s.find<QCheckBox>("kat2")->setChecked(true);
            s.find<QCheckBox>("kat5")->setChecked(true);
        } else if (control == "dates") {
            s.find<QRadioButton>("da1")->setChecked(true);
            s.setField("oddaty_k", "2007-01-01");
            s.setField("dodaty_k", "2007-12-31");
        }
        s.click("BitBtn10");
        QVERIFY(s.find<QWidget>("Panel12")->isHidden());
        QVERIFY(s.find<QWidget>("Panel1")->isEnabled());
        QCOMPARE(listedCodes(s), listed);
        QCOMPARE(s.lista()->currentRow(), 0);
        QVERIFY(!s.window->fullList());
        s.window->updateStatus();
        QCOMPARE(s.find<QLabel>("Label8")->text(), QStringLiteral("wybrana kategoria lub grupa"));
        QVERIFY(!s.find<QMenu>("so")->menuAction()->isEnabled());
        QVERIFY(!s.find<QWidget>("SpeedButton15")->isEnabled());
        // Any later build lists every entry again; the flag stays off.
        s.trigger("l2");
        QCOMPARE(s.lista()->count(), 4);
        QVERIFY(!s.window->fullList());
        // Only "Buduj listę bez filtrów" turns it on.
        s.click("SpeedButton19");
        s.click("BitBtn11");
        QVERIFY(s.window->fullList());
        s.window->updateStatus();
        QCOMPARE(s.find<QLabel>("Label8")->text(), QStringLiteral("wszystkie wpisy"));
        QVERIFY(s.find<QWidget>("SpeedButton15")->isEnabled());
    }
};

KESTRANA_TEST(FilterPanelTest)
#include "FilterPanelTest.moc"
