#include "app/ProgramWindows.h"
#include "print/DefaultPrintFont.h"
#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::WindowSession;

// The program and kestrana-cli start through the same code, so they find the same problems and
// tell them in the same words.
class StartupReportTest : public QObject {
    Q_OBJECT

private slots:
    void missingOpisyIsReportedAlike() {
        DataFolder folder;
        QVERIFY(QDir(folder.file("OPISY")).removeRecursively());
        const QString where = QDir::toNativeSeparators(folder.path());
        const QString question =
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: OPISY.\nUtworzyć je ?")
                .arg(where);
        const QString refusal =
            QStringLiteral("Program nie może pracować bez katalogów danych (OPISY) w folderze "
                           "%1.\nUtwórz je albo wskaż inny folder danych w pliku Admini/siec.dat.")
                .arg(where);

        WindowSession program;
        program.prompts.expectQuestion(question, false);
        program.prompts.expectInformation(refusal);
        program.start(folder.path());
        QVERIFY(!program.window->startupCompleted());
        QVERIFY(!program.find<QWidget>("Panel1")->isEnabled());

        // The command line cannot ask: it answers No and writes the same two messages.
        const test::CliRun cli = test::runCli(folder.path(), {QStringLiteral("list")});
        QCOMPARE(cli.exitCode, 1);
        QCOMPARE(cli.out, QString());
        QStringList written;
        for (const QString& text : program.prompts.shown())
            written << QStringLiteral("kestrana-cli: ") + text;
        written[0] += QStringLiteral(" nie");
        const QString expected = written.join(QLatin1Char('\n')) + QLatin1Char('\n');
        // Qt's own warnings about the environment may come first.
        QVERIFY2(cli.errors.endsWith(expected), qPrintable(cli.errors));
        QCOMPARE(cli.errors.count(QStringLiteral("kestrana-cli:")), 2);
        // Neither created the folder.
        QVERIFY(!QFileInfo(folder.file("OPISY")).exists());
    }

    // A folder without the folders of single functions: offered at start-up, and once created
    // the help shows its text, the print font is the default and the vouchers open.
    void functionFoldersAreOfferedAndFilled() {
        DataFolder folder;
        for (const char* name : {"DOKUMENTY", "POMOC", "Koperty", "FONT"})
            QVERIFY(QDir(folder.file(QLatin1String(name))).removeRecursively());
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        prompts.expectQuestion(
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: DOKUMENTY, POMOC, Koperty, "
                           "FONT.\nUtworzyć je ?")
                .arg(QDir::toNativeSeparators(folder.path())),
            true);
        FixedClock clock(QDate(2026, 12, 7), QTime(9, 0));
        ProgramWindows windows(prompts, dialogs, clock, {"kestrana"}, folder.path());
        QVERIFY(windows.start());
        QVERIFY(windows.main().startupCompleted());
        QVERIFY(prompts.done());
        QCOMPARE(
            FontRecord::fromBytes(folder.readBytes(QStringLiteral("FONT/") + kPrintFontFile)).size,
            kDefaultPrintPoints);
        windows.main().findChild<QAction*>("Pomoc1")->trigger();
        QVERIFY(windows.notepad().isVisible());
        QVERIFY(windows.notepad().displayedLines().size() > 10);
        windows.main().findChild<QAction*>("Kp1")->trigger();
        QVERIFY(windows.voucher().isVisible());
        QVERIFY(prompts.done());
    }
};

KESTRANA_TEST(StartupReportTest)
#include "StartupReportTest.moc"
