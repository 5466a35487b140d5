#include "backup/Backup.h"
#include "station/SmallRecords.h"
#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString copyName = QStringLiteral("2007-03-05_0800");

// The morning's copy, then the afternoon's register: entry 3 and its description added, the
// counter moved on to 4, a voucher number taken.
void prepare(const DataFolder& folder) {
    folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
    folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(3));
    folder.writeBytes("OPISY/opis_ks_1.dat", "rano");
    folder.writeBytes("DOKUMENTY/nrkp.dat", QByteArray(15, '\1'));
    Workstation ws;
    ws.workDir = ws.baseDir = folder.path();
    ws.today = QStringLiteral("2007-03-05");
    backup::makeBackup(ws, ws.today, QTime(8, 0));
    folder.writeEntries({entry("1", "Alfa 2"), entry("2", "Beta"), entry("3", "Gamma")});
    folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(4));
    folder.writeBytes("OPISY/opis_ks_1.dat", "po poludniu");
    folder.writeBytes("OPISY/opis_ks_3.dat", "nowy");
    folder.writeBytes("DOKUMENTY/nrkp.dat", QByteArray(15, '\2'));
}

// kestrana-cli restore under strace, killed on entry to the nth call of the system calls
// `calls` (counted for each call of the set on its own). True when the kill came; false when
// the restore ran to its end first.
bool restoreKilledAt(const QString& dir, const QString& calls, int nth) {
    QProcess strace;
    strace.setWorkingDirectory(dir);
    strace.start(QStringLiteral("strace"),
                 {"-f", "-qq", "-o", "/dev/null", "-e", "trace=" + calls, "-e",
                  QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(calls).arg(nth),
                  qEnvironmentVariable("KESTRANA_CLI"), "restore", copyName});
    if (!strace.waitForFinished(120000))
        return false;
    return strace.exitStatus() == QProcess::CrashExit || strace.exitCode() == 128 + 9;
}

} // namespace

class RestoreKillTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
            QSKIP("strace is not installed (scripts/install-deps installs it)");
    }

    // Killed at every rename, removal, write and flush it makes (one run per point), a restore
    // leaves the register as it was before or as the copy holds it, whole, once the next start
    // has run; the ID counter never goes below either.
    void everyKillPointLeavesBeforeOrAfter_data() {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<bool>("finishedByNextStart"); // some kill lands after the journal
        QTest::newRow("renames and removals")
            << "rename,renameat,renameat2,unlink,unlinkat,rmdir" << true;
        QTest::newRow("writes") << "write,pwrite64,copy_file_range" << false;
        QTest::newRow("flushes") << "fsync,fdatasync,syncfs" << true;
    }
    void everyKillPointLeavesBeforeOrAfter() {
        QFETCH(QString, calls);
        QFETCH(bool, finishedByNextStart);
        int points = 0;
        int finished = 0;
        for (int nth = 1;; ++nth) {
            DataFolder folder;
            prepare(folder);
            if (!restoreKilledAt(folder.path(), calls, nth))
                break;
            ++points;
            const bool interrupted = QFileInfo::exists(folder.file("KOPIE/przywracanie.dat"));
            finished += interrupted;
            const test::CliRun next = test::runCli(folder.path(), {"list"});
            QCOMPARE(next.exitCode, 0);
            QCOMPARE(next.errors.contains("dokończono je teraz"), interrupted);

            const size_t entries = folder.readEntries().size();
            const bool restored = entries == 2;
            QVERIFY2(restored || entries == 3, qPrintable(QString::number(nth)));
            QCOMPARE(folder.readEntries()[0].text(Field::nazwa1),
                     QString(restored ? "Alfa" : "Alfa 2"));
            QCOMPARE(folder.readBytes("OPISY/opis_ks_1.dat"),
                     QByteArray(restored ? "rano" : "po poludniu"));
            QCOMPARE(QFileInfo::exists(folder.file("OPISY/opis_ks_3.dat")), !restored);
            QCOMPARE(folder.readBytes("DOKUMENTY/nrkp.dat"),
                     QByteArray(15, restored ? '\1' : '\2'));
            QVERIFY(int32FromBytes(folder.readBytes("ADMINI/id_ks.dat")) >= 4);
            QVERIFY(!QFileInfo::exists(folder.file("KOPIE/przywracanie.dat")));
            const test::CliRun check = test::runCli(folder.path(), {"check"});
            QVERIFY2(check.exitCode == 0, qPrintable(check.out));
        }
        QVERIFY2(points > 3, qPrintable(QString::number(points)));
        QCOMPARE(finished > 0, finishedByNextStart);
    }
};

KESTRANA_TEST(RestoreKillTest)
#include "RestoreKillTest.moc"
