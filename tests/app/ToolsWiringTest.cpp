#include "app/ProgramWindows.h"
#include "platform/Version.h"
#include "register/DataFolderSetup.h"
#include "station/SmallRecords.h"
#include "station/StorageLocation.h"
#include "support/DataFolder.h"
#include "support/DemoProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QRegularExpression>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

class ToolsWiringTest : public QObject {
    Q_OBJECT

private slots:
    void siblingProgramsGetTheShownEntry() {
        DataFolder folder;
        folder.writeEntries({entry("15", "ABC"), entry("16", "Ostatnia")});
        WindowSession s;
        s.start(folder.path());
        QStringList started;
        s.window->setProgramStarter([&](const commands::CommandLine& line, const QString&) {
            started << line.text();
            return commands::StartOutcome::Started;
        });
        // The list build left the last record in the buffer; the form shows entry 15.
        QCOMPARE(s.window->registerFiles().buffer().text(Field::id), QStringLiteral("15"));
        s.trigger("l3");
        QCOMPARE(s.window->registerFiles().buffer().text(Field::id), QStringLiteral("15"));
        s.window->registerFiles().load(1);
        s.trigger("dok1");
        s.trigger("Czytnikzada1");
        s.trigger("Notatnik1");
        QCOMPARE(started, QStringList({"tolisk.exe 15.dos \"Komentarze dla: ABC \"",
                                       "pasvik.exe *.dos", "notepad.exe"}));
    }

    // A program that is not there is named; the e-mail button then hands the address to the
    // desktop's mail client, and says so only when there is none either.
    void missingProgramsAreNamed_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("mailClient"); // -1: not asked, 0: none, 1: opened
        QTest::addColumn<QString>("message");
        const QString kormel = QStringLiteral(
            "Nie znaleziono programu „kormel.exe” (szukano w folderze programu Kestrana i w "
            "folderach ze zmiennej PATH). Zainstaluj go albo umieść w jednym z tych folderów.");
        QTest::newRow("comments") << "dok1" << -1
                                  << QStringLiteral("Nie znaleziono programu „tolisk.exe” "
                                                    "(szukano w folderze programu Kestrana i w "
                                                    "folderach ze zmiennej PATH). Zainstaluj go "
                                                    "albo umieść w jednym z tych folderów.");
        QTest::newRow("mail, desktop client") << "SpeedButton2" << 1 << QString();
        QTest::newRow("mail, no client")
            << "SpeedButton2" << 0
            << kormel + QStringLiteral("\nPulpit nie ma też ustawionego programu pocztowego dla "
                                       "adresu biuro@abc.pl.");
    }
    void missingProgramsAreNamed() {
        QFETCH(QString, control);
        QFETCH(int, mailClient);
        QFETCH(QString, message);
        DataFolder folder;
        EntryRecord abc = entry("15", "ABC");
        abc.setText(Field::mail, QStringLiteral("biuro@abc.pl"));
        folder.writeEntries({abc});
        WindowSession s;
        s.start(folder.path());
        s.window->setProgramStarter([](const commands::CommandLine&, const QString&) {
            return commands::StartOutcome::NotFound;
        });
        QList<QUrl> mailed;
        s.window->setMailOpener([&](const QUrl& url) {
            mailed << url;
            return mailClient == 1;
        });
        if (!message.isEmpty())
            s.prompts.expectInformation(message);
        if (control.startsWith(QLatin1String("dok")))
            s.trigger(qPrintable(control));
        else
            s.click(qPrintable(control));
        QVERIFY(s.prompts.done());
        QCOMPARE(mailed, mailClient < 0 ? QList<QUrl>() : QList<QUrl>{QUrl("mailto:biuro@abc.pl")});
    }

    void helpOpensTheNotepad() {
        DataFolder folder;
        QVERIFY(QDir(folder.path()).mkpath("POMOC"));
        folder.writeBytes("POMOC/bazaadresowa.dat", "Pomoc\r\n");
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FixedClock clock(QDate(2026, 12, 7), QTime(9, 0));
        ProgramWindows windows(prompts, dialogs, clock, {"kestrana"}, folder.path());
        QVERIFY(windows.start());
        windows.main().findChild<QAction*>("Pomoc1")->trigger();
        QVERIFY(windows.notepad().isVisible());
        QCOMPARE(windows.notepad().windowTitle(), QStringLiteral("Przewodnik po bazie adresowej."));
        QCOMPARE(windows.notepad().displayedLines(), QStringList{"Pomoc"});
    }

    void aboutNamesTheVersion() {
        DataFolder folder;
        WindowSession s;
        s.start(folder.path());
        s.prompts.expectInformation(
            QStringLiteral("Kestrana %1\nRejestr producentów dla małego biura.\n"
                           "Licencja: GNU GPL w wersji 3 lub nowszej.")
                .arg(programVersion()));
        s.trigger("Oprogramie1");
        QVERIFY(s.prompts.done());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(programVersion())
                    .hasMatch());
    }

    void voucherAndEnvelopeWindowsOpen() {
        test::DemoProgram demo;
        ProgramWindows& windows = demo.windows;
        QVERIFY(windows.start());
        windows.main().findChild<QAction*>("Kw1")->trigger();
        QVERIFY(windows.voucher().isVisible());
        windows.main().findChild<QAbstractButton*>("SpeedButton3")->click();
        QVERIFY(windows.envelope().isVisible());
    }

    void unreachableShareEndsBeforeTheMainWindow() {
        DataFolder station;
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaSieciowa = station.path() + "/offline";
        station.writeBytes("ADMINI/siec.dat", siec.toBytes());
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        prompts.expectQuestion(QStringLiteral("Informacja"), startup::networkQuestion(), false);
        FixedClock clock(QDate(2026, 12, 7), QTime(9, 0));
        ProgramWindows windows(prompts, dialogs, clock, {"kestrana"}, station.path());
        QVERIFY(!windows.start());
        QVERIFY(QDir(station.file("KOSZ")).isEmpty());
    }
};

KESTRANA_TEST(ToolsWiringTest)
#include "ToolsWiringTest.moc"
