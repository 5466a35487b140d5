#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

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
};

KESTRANA_TEST(StartupReportTest)
#include "StartupReportTest.moc"
