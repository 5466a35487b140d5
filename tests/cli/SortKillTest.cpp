#include "register/EntryRecord.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool runCli(const QString& dir, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(qEnvironmentVariable("KESTRANA_CLI"), args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

// A sort killed at any moment leaves the main file whole: either the old order or the new; what
// it was writing is removed by the next sort.
class SortKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedSortsLeaveOneOrderOrTheOther() {
        QTemporaryDir dir;
        QVERIFY(runCli(dir.path(), {"init"}));
        QVERIFY(runCli(dir.path(), {"generate", "--entries", "20000", "--seed", "3"}));
        const QString main = dir.filePath("DANE/spis_ks.dat");
        const QByteArray generated = readAll(main);
        // The two orders a sort may leave, found by sorting copies to the end.
        QTemporaryDir copy;
        QVERIFY(QDir().mkpath(copy.filePath("DANE")));
        QVERIFY(runCli(copy.path(), {"init"}));
        QFile::remove(copy.filePath("DANE/spis_ks.dat"));
        QVERIFY(QFile::copy(main, copy.filePath("DANE/spis_ks.dat")));
        QVERIFY(runCli(copy.path(), {"sort", "--by", "nazwa1"}));
        const QByteArray ascending = readAll(copy.filePath("DANE/spis_ks.dat"));
        QVERIFY(runCli(copy.path(), {"sort", "--by", "nazwa1", "--desc"}));
        const QByteArray descending = readAll(copy.filePath("DANE/spis_ks.dat"));
        QVERIFY(ascending != generated && descending != ascending);

        QRandomGenerator rng(11);
        int killed = 0;
        for (int round = 0; round < 12; ++round) {
            QProcess sort;
            sort.setWorkingDirectory(dir.path());
            QStringList args = {"sort", "--by", "nazwa1"};
            if (round % 2)
                args << "--desc";
            sort.start(qEnvironmentVariable("KESTRANA_CLI"), args);
            QVERIFY(sort.waitForStarted());
            // Mostly early, while the sort still runs; now and then later, when it may be done.
            QTest::qWait(rng.bounded(1, round % 3 == 2 ? 400 : 60));
            if (sort.state() == QProcess::Running) {
                ::kill(static_cast<pid_t>(sort.processId()), SIGKILL);
                ++killed;
            }
            sort.waitForFinished();
            const QByteArray now = readAll(main);
            QVERIFY2(now == generated || now == ascending || now == descending,
                     qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
        }
        QVERIFY(killed > 0);
        // The next sort that finishes removes what the killed ones left beside the main file.
        QVERIFY(runCli(dir.path(), {"sort", "--by", "nazwa1"}));
        QCOMPARE(readAll(main), ascending);
        const QStringList left =
            QDir(dir.filePath("DANE")).entryList({QStringLiteral("spis_ks.dat.tmp.*")});
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
    }
};

KESTRANA_TEST(SortKillTest)
#include "SortKillTest.moc"
