#include "platform/Clock.h"
#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = kestrana::test::CliRun;

Run cli(const QString& dir, const QStringList& arguments) {
    return kestrana::test::runCli(dir, arguments);
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class BackupCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("KESTRANA_CLI").isEmpty()); }

    void backupAndBackupIfDue() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run first = cli(dir.path(), {"backup"});
        QCOMPARE(first.exitCode, 0);
        // Named by the day and the minute it was made.
        const QStringList copies =
            QDir(dir.filePath("KOPIE")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(copies.size(), 1);
        QVERIFY2(
            QRegularExpression("^[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{4}$").match(copies[0]).hasMatch(),
            qPrintable(copies[0]));
        const QString copy = dir.filePath("KOPIE/" + copies[0]);
        QCOMPARE(first.out.section('\n', 0, 0),
                 "Kopia zapasowa: " + QDir::toNativeSeparators(copy));
        QCOMPARE(contents(copy + "/DANE/spis_ks.dat"), contents(dir.filePath("DANE/spis_ks.dat")));
        QVERIFY(QFileInfo(copy + "/OPISY").isDir());

        const Run again = cli(dir.path(), {"backup", "--if-due"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.startsWith("Dzisiejsza kopia już jest: "), qPrintable(again.out));

        QCOMPARE(cli(dir.path(), {"backup", "--everything"}).exitCode, 2);
    }

    // The copy goes where the data are: in network mode, the shared folder.
    void networkModeCopiesTheSharedFolder() {
        QTemporaryDir station;
        QTemporaryDir shared;
        QCOMPARE(cli(shared.path(), {"init"}).exitCode, 0);
        QVERIFY(QDir(station.path()).mkpath("Admini"));
        QCOMPARE(cli(station.path(), {"mode", "network", shared.path()}).exitCode, 0);
        // The first start makes the main file; a register without one is not copied.
        QCOMPARE(cli(station.path(), {"backup"}).exitCode, 1);
        QCOMPARE(cli(station.path(), {"list"}).exitCode, 0);
        const Run run = cli(station.path(), {"backup"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QDir::toNativeSeparators(shared.filePath("KOPIE/"))),
                 qPrintable(run.out));
        QVERIFY(!QFileInfo::exists(station.filePath("KOPIE")));
    }

    // restore NAME puts a listed copy back, asking nothing; a name that is no copy changes
    // nothing.
    void restoreAListedCopy() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        QCOMPARE(cli(dir.path(), {"backup"}).exitCode, 0);
        const QByteArray before = contents(dir.filePath("DANE/spis_ks.dat"));
        QCOMPARE(cli(dir.path(), {"generate", "--entries", "3"}).exitCode, 0);
        const Run listed = cli(dir.path(), {"restore"});
        QCOMPARE(listed.exitCode, 0);
        const QString name = listed.out.trimmed();
        QVERIFY2(!name.contains('\n'), qPrintable(listed.out));

        QCOMPARE(cli(dir.path(), {"restore", "2001-01-01_0000"}).exitCode, 1);
        QVERIFY(contents(dir.filePath("DANE/spis_ks.dat")) != before);

        const Run restored = cli(dir.path(), {"restore", name});
        QCOMPARE(restored.exitCode, 0);
        QVERIFY2(restored.out.contains("Przywrócono kopię " + name +
                                       ": DANE, ADMINI, OPISY, "
                                       "DOKUMENTY."),
                 qPrintable(restored.out));
        QCOMPARE(contents(dir.filePath("DANE/spis_ks.dat")), before);
        QCOMPARE(cli(dir.path(), {"restore"}).out.split('\n', Qt::SkipEmptyParts).size(), 2);
    }

    void failureIsReported() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init"}).exitCode, 0);
        QVERIFY(QDir(dir.filePath("KOPIE")).removeRecursively());
        QFile blocker(dir.filePath("KOPIE"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Run run = cli(dir.path(), {"backup"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("kopia zapasowa nie powiodła się") &&
                     run.errors.contains("KOPIE"),
                 qPrintable(run.errors));
    }
};

KESTRANA_TEST(BackupCliTest)
#include "BackupCliTest.moc"
