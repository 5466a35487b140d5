#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

class DescriptionPanelTest : public QObject {
    Q_OBJECT

private slots:
    void closingAlwaysStores() {
        DataFolder folder;
        folder.writeEntries({entry("17", "Zakład Łąka", "K-1"), entry("18", "Drugi")});
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton18");
        auto* panel = s.find<QWidget>("Panel11");
        QVERIFY(!panel->isHidden());
        QCOMPARE(panel->geometry(), QRect(8, 8, 984, 644));
        QCOMPARE(s.find<QLabel>("Label33")->text(), QStringLiteral("Zakład Łąka"));
        QCOMPARE(s.find<QLabel>("Label34")->text(), QStringLiteral("K-1"));
        QVERIFY(!s.find<QWidget>("Panel1")->isEnabled());
        s.click("SpeedButton21");
        QVERIFY(panel->isHidden());
        QVERIFY(s.find<QWidget>("Panel1")->isEnabled());
        // Opened for the first time and closed untouched: an empty file.
        QVERIFY(QFile::exists(folder.file("OPISY/opis_ks_17.dat")));
        QCOMPARE(folder.readBytes("OPISY/opis_ks_17.dat"), QByteArray());

        s.click("SpeedButton18");
        s.find<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("Pierwsza linia\nŻółta\n"));
        s.click("SpeedButton21");
        QCOMPARE(folder.readBytes("OPISY/opis_ks_17.dat"),
                 QByteArray("Pierwsza linia\r\n\xaf\xf3\xb3ta\r\n"));
        s.click("SpeedButton18");
        QCOMPARE(s.find<QPlainTextEdit>("Memo1")->toPlainText(),
                 QStringLiteral("Pierwsza linia\nŻółta\n"));
        s.click("SpeedButton21");
        // Opening and closing without typing keeps the file as it was, empty lines included.
        folder.writeBytes("OPISY/opis_ks_17.dat", "a\r\n\r\n");
        s.click("SpeedButton18");
        s.click("SpeedButton21");
        QCOMPARE(folder.readBytes("OPISY/opis_ks_17.dat"), QByteArray("a\r\n\r\n"));
    }

    void failedStoreKeepsThePanelOpen() {
        DataFolder folder;
        folder.writeEntries({entry("5", "Alfa")});
        WindowSession s;
        s.start(folder.path());
        QDir(folder.file("OPISY")).removeRecursively();
        s.click("SpeedButton18");
        s.prompts.expectError(QStringLiteral("opis_ks_5.dat"));
        s.click("SpeedButton21");
        QVERIFY(!s.find<QWidget>("Panel11")->isHidden());
    }

    void idThatIsNotDigitsNamesNoFile() {
        DataFolder folder;
        folder.writeEntries({entry("../../x", "Zła")});
        WindowSession s;
        s.prompts.expectInformation(QStringLiteral(
            "Wpis ma nieprawidłowy numer ID „../../x”, więc nie można go zablokować dla innych "
            "użytkowników."));
        s.start(folder.path());
        s.prompts.expectInformation(
            QStringLiteral("Wpis ma nieprawidłowy numer ID „../../x”, więc nie może mieć opisu."));
        s.click("SpeedButton18");
        QVERIFY(s.find<QWidget>("Panel11")->isHidden());
    }
};

KESTRANA_TEST(DescriptionPanelTest)
#include "DescriptionPanelTest.moc"
