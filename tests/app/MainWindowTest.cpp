#include "app/MainWindow.h"
#include "register/DataFolderSetup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedPrompts;

using Session = kestrana::test::WindowSession;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartInAnEmptyTree() {
        DataFolder folder;
        Session s;
        s.start(folder.path());
        QVERIFY(s.window->startupCompleted());
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Kestrana - bazy lokalne"));
        QCOMPARE(s.lista()->count(), 1);
        QCOMPARE(s.find<QLabel>("Label46")->text(), QStringLiteral(" 1 poz"));
        QCOMPARE(s.field("id"), QStringLiteral("1"));
        QCOMPARE(s.window->workstation().today, QStringLiteral("2007-03-05"));
        QVERIFY(!s.window->workstation().boss);
        QVERIFY(s.find<QCheckBox>("k1")->text() == QStringLiteral("nieznana"));
        QVERIFY(s.find<QCheckBox>("zaw19")->text() == QStringLiteral("nieznana"));
    }

    void demoRegisterShowsTheSelectedEntry() {
        DataFolder folder(false);
        installDataFolder(folder.path(), true, QStringLiteral("2026-12-07"));
        Session s;
        s.start(folder.path(),
                {QStringLiteral("kestrana"), QString(), QStringLiteral("123456789k")});
        QVERIFY(s.window->workstation().boss);
        QCOMPARE(s.lista()->count(), 40);
        QCOMPARE(s.lista()->currentRow(), 0);
        QCOMPARE(s.field("id"), QStringLiteral("1"));
        QVERIFY(!s.field("nazwa1").isEmpty());
        QVERIFY(s.lista()->lineText(0).startsWith(s.field("nazwa1").left(35)));
        QVERIFY(s.find<QCheckBox>("k1")->text() != QStringLiteral("nieznana"));

        // Selecting the 12th line by keyboard loads record 12.
        s.lista()->setFocus();
        s.lista()->setCurrentRow(11);
        QCOMPARE(s.window->currentPosition(), 11);
        QCOMPARE(s.field("id"), QStringLiteral("12"));

        // A view change rebuilds the list and selects its first line.
        s.find<QAction>("l2")->trigger();
        QCOMPARE(s.window->viewMode(), ViewMode::KodNazwa);
        QVERIFY(s.find<QAction>("l2")->isChecked());
        QVERIFY(!s.find<QAction>("l1")->isChecked());
        QVERIFY(s.lista()->lineText(0).startsWith(s.field("numer") + QLatin1Char(' ')));
        QCOMPARE(s.field("id"), QStringLiteral("1"));

        // Enter reloads the selected entry, discarding what was typed.
        s.find<QLineEdit>("nazwa1")->setText(QStringLiteral("zmienione"));
        QTest::keyClick(s.lista(), Qt::Key_Return);
        QVERIFY(s.field("nazwa1") != QStringLiteral("zmienione"));
    }

    void statusTimerShowsClockAndState() {
        DataFolder folder;
        Session s;
        s.start(folder.path());
        s.window->updateStatus();
        QCOMPARE(s.find<QLabel>("Label47")->text(), QStringLiteral("14:05:09"));
        s.find<QAction>("d1")->trigger();
        s.window->updateStatus();
        QVERIFY(s.find<QAction>("d1")->isChecked());
        QVERIFY(!s.find<QAction>("d2")->isChecked());
        QVERIFY(s.find<QLabel>("Label47")->text().contains(QStringLiteral("2007")));
        QCOMPARE(s.find<QLabel>("Label8")->text(), QStringLiteral("wszystkie wpisy"));
    }

    void missingDataDirectory_data() {
        QTest::addColumn<bool>("create");
        QTest::newRow("declined") << false;
        QTest::newRow("created") << true;
    }
    void missingDataDirectory() {
        QFETCH(bool, create);
        DataFolder folder;
        QVERIFY(QDir(folder.file("DANE")).removeRecursively());
        Session s;
        const QString question = QStringLiteral("W folderze danych %1\nbrakuje katalogów: DANE.\n"
                                                "Utworzyć je ?")
                                     .arg(QDir::toNativeSeparators(folder.path()));
        s.prompts.expectQuestion(question, create);
        if (!create)
            s.prompts.expectInformation(
                QStringLiteral("Program nie może pracować bez katalogów danych (DANE) w folderze "
                               "%1.\nUtwórz je albo wskaż inny folder danych w pliku "
                               "Admini/siec.dat.")
                    .arg(QDir::toNativeSeparators(folder.path())));
        s.start(folder.path());
        QCOMPARE(s.window->startupCompleted(), create);
        QCOMPARE(QFileInfo(folder.file("DANE")).isDir(), create);
        QCOMPARE(s.lista()->count(), create ? 1 : 0);
        QCOMPARE(s.find<QWidget>("Panel1")->isEnabled(), create);
    }

    void mainFileWithPartialRecord() {
        DataFolder folder;
        QByteArray bytes =
            test::entry("1", "Alfa").toByteArray() + test::entry("2", "Beta").toByteArray();
        folder.writeBytes("DANE/spis_ks.dat", bytes + QByteArray(500, 'z'));
        Session s;
        s.prompts.expectError(QStringLiteral("kopia zapasowa nie została zrobiona"));
        s.start(folder.path());
        QCOMPARE(s.lista()->count(), 2);
        QCOMPARE(folder.readBytes("DANE/sp_ks.dat"), bytes);
    }

    void missingPictureIsReportedAfterTheFields() {
        DataFolder folder;
        QFile::remove(folder.file("OBRAZKI/ks1.ico"));
        Session s;
        s.prompts.expectError(QStringLiteral("ks1.ico"));
        s.start(folder.path());
        QCOMPARE(s.field("id"), QStringLiteral("1"));
    }

    void exitAsksAndEndsOnlyOnYes() {
        DataFolder folder;
        Session s;
        s.start(folder.path());
        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), false);
        QVERIFY(!s.window->close());
        QCOMPARE(s.ended, 0);
        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), true);
        s.find<QAction>("Wyjciezprogramu1")->trigger();
        QCOMPARE(s.ended, 1);
    }

    void voucherButtonsOpenTheVoucherWindow() {
        DataFolder folder;
        Session s;
        s.start(folder.path());
        QList<int> kinds;
        s.window->setVoucherOpener([&](int kind, const EntryFormValues& form) {
            kinds << kind;
            QCOMPARE(form[Field::nazwa1], QStringLiteral("na ekranie"));
        });
        s.setField("nazwa1", QStringLiteral("na ekranie"));
        s.trigger("Kp1");
        s.click("SpeedButton24");
        s.trigger("Kw1");
        s.click("SpeedButton25");
        QCOMPARE(kinds, QList<int>({1, 1, 2, 2}));
        s.prompts.expectInformation(QStringLiteral(
            "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
        s.trigger("Danefirmy1");
    }
};

KESTRANA_TEST(MainWindowTest)
#include "MainWindowTest.moc"
