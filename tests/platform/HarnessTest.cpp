#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

using kestrana::test::ScriptedDialogs;
using kestrana::test::ScriptedPrompts;

namespace {

const char* const kProbeVariable = "KESTRANA_HARNESS_PROBE";

struct Run {
    int exitCode = -1;
    QString output;
};

// This test executable run again with `arguments`, the probes switched on.
Run runSelf(const QStringList& arguments) {
    QProcess self;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kProbeVariable), QStringLiteral("1"));
    self.setProcessEnvironment(env);
    self.setProcessChannelMode(QProcess::MergedChannels);
    self.start(QCoreApplication::applicationFilePath(), arguments);
    Run run;
    if (!self.waitForFinished(60000))
        return run;
    run.exitCode = self.exitCode();
    run.output = QString::fromLocal8Bit(self.readAll());
    return run;
}

} // namespace

// Tests that leave the harness's scripts unfinished; they run only when the harness test below
// starts them in a process of their own.
class HarnessProbe : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (qEnvironmentVariableIsEmpty(kProbeVariable))
            QSKIP("run by HarnessTest only");
    }
    void promptNeverShown() {
        ScriptedPrompts prompts;
        prompts.expectInformation(QStringLiteral("nikt tego nie pokaże"));
    }
    void dialogNeverOpened() {
        ScriptedDialogs dialogs;
        dialogs.expectSaveFile(QStringLiteral("/tmp/x.csv"), QStringLiteral("Eksport"));
    }
    void everyAnswerUsed() {
        ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Usunąć wpis ?"), true);
        QVERIFY(prompts.question(QStringLiteral("Usunąć wpis ?")));
    }
};

class HarnessTest : public QObject {
    Q_OBJECT

private slots:
    void unusedAnswersFailTheTest_data() {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("message");
        QTest::newRow("prompt") << "promptNeverShown" << false
                                << "scripted prompts: answers left unused: nikt tego nie pokaże";
        QTest::newRow("dialog")
            << "dialogNeverOpened" << false
            << "scripted dialogs: answers left unused: save file dialog Eksport";
        QTest::newRow("all used") << "everyAnswerUsed" << true << "";
    }
    void unusedAnswersFailTheTest() {
        QFETCH(QString, function);
        QFETCH(bool, passes);
        QFETCH(QString, message);
        const Run run = runSelf({QStringLiteral("HarnessProbe::") + function});
        QCOMPARE(run.exitCode, passes ? 0 : 1);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
    }

    void unknownTestClassFails() {
        const Run run = runSelf({QStringLiteral("NoSuchClassTest")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.output.contains(QStringLiteral("no test class NoSuchClassTest")),
                 qPrintable(run.output));
        // A known class next to the unknown one still runs, and the run still fails.
        const Run mixed = runSelf(
            {QStringLiteral("HarnessProbe::everyAnswerUsed"), QStringLiteral("MisspeltTest")});
        QCOMPARE(mixed.exitCode, 1);
        QVERIFY(mixed.output.contains(QStringLiteral("PASS   : HarnessProbe::everyAnswerUsed")));
    }
};

KESTRANA_TEST(HarnessProbe)
KESTRANA_TEST(HarnessTest)
#include "HarnessTest.moc"
