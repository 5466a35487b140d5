#include "app/SingleInstance.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

// The program started on a data folder as the user starts it, headless.
void startProgram(QProcess& p, const QString& dir) {
    p.setProgram(QFileInfo(qEnvironmentVariable("KESTRANA_BIN")).absoluteFilePath());
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start();
}

// Waits (with the event loop running, so that a server in this process can answer) for the
// program to end; its exit code, or -1 when it did not end.
int exitCodeOf(QProcess& p) {
    QSignalSpy finished(&p, &QProcess::finished);
    if (p.state() != QProcess::NotRunning && !finished.wait(30000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void nameFollowsTheFolderNotItsSpelling() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a/b"));
        QVERIFY(QFile::link(dir.filePath("a"), dir.filePath("link")));
        const QString name = singleInstanceName(dir.filePath("a"));
        QCOMPARE(singleInstanceName(dir.filePath("a/b/..")), name);
        QCOMPARE(singleInstanceName(dir.filePath("link")), name);
        QVERIFY(singleInstanceName(dir.filePath("a/b")) != name);
        // Short enough for a socket path on every system.
        QVERIFY(name.size() < 60);
    }

    void secondStartRaisesTheFirst() {
        DataFolder folder;
        folder.writeEntries({entry("7", "Alfa")});
        SingleInstance first(singleInstanceName(folder.path()));
        QVERIFY(first.claim());
        int raised = 0;
        first.setRaiseRequest([&] { ++raised; });
        QProcess second;
        startProgram(second, folder.path());
        QCOMPARE(exitCodeOf(second), 0);
        QCOMPARE(raised, 1);
        // It ended before its start-up: no lock taken, nothing said.
        QVERIFY(!QFile::exists(folder.file("KOSZ/7.p")));
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        // A later start in this process is a second start as well.
        SingleInstance third(singleInstanceName(folder.path()));
        QVERIFY(!third.claim());
        QTRY_COMPARE(raised, 2);
    }

    void twoProgramsOnOneFolder() {
        DataFolder folder;
        folder.writeEntries({entry("7", "Alfa")});
        QProcess first;
        startProgram(first, folder.path());
        QVERIFY(first.waitForStarted());
        // The first program has started up when it holds the shown entry's lock.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.file("KOSZ/7.p")), 20000);
        QProcess second;
        startProgram(second, folder.path());
        // Without the guard the second would wait on "Rekord … zajęty" and never end.
        QCOMPARE(exitCodeOf(second), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(QFile::exists(folder.file("KOSZ/7.p")));
        first.kill();
        QVERIFY(first.waitForFinished());
        // A socket left behind by a killed program does not stop the next start.
        SingleInstance next(singleInstanceName(folder.path()));
        QVERIFY(next.claim());
    }
};

KESTRANA_TEST(SingleInstanceTest)
#include "SingleInstanceTest.moc"
