#include "app/ProgramWindows.h"
#include "platform/Version.h"
#include "register/DataFolderSetup.h"
#include "station/SmallRecords.h"
#include "station/StorageLocation.h"
#include "support/DataFolder.h"
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
        s.window->setProgramStarter(
            [&](const commands::CommandLine& line, const QString&) { started << line.text(); });
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
        DataFolder folder(false);
        installDataFolder(folder.path(), true, QStringLiteral("2026-12-07"));
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FixedClock clock(QDate(2026, 12, 7), QTime(9, 0));
        ProgramWindows windows(prompts, dialogs, clock, {"kestrana"}, folder.path());
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
