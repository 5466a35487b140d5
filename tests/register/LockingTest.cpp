#include "platform/CheckedFile.h"
#include "platform/FaultInjector.h"
#include "register/EntryLocks.h"
#include "station/SmallRecords.h"
#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/StationLog.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using Outcome = EntryLocks::Outcome;

namespace {

Outcome select(EntryLocks& locks, const QString& id) {
    const Outcome checked = locks.check(id);
    return checked == Outcome::Taken ? locks.take(id) : checked;
}

} // namespace

class LockingTest : public QObject {
    Q_OBJECT

private slots:
    void twoWorkstationsOnOneEntry() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks a(ws);
        EntryLocks b(ws);
        QCOMPARE(select(a, "17"), Outcome::Taken);
        QCOMPARE(folder.readBytes("KOSZ/17.p"), int32Bytes(1));
        QCOMPARE(select(b, "17"), Outcome::HeldByOther);
        QVERIFY(b.heldByOther("17"));
        QVERIFY(!a.heldByOther("17"));
        QCOMPARE(select(a, "17"), Outcome::Taken); // the shown entry again: no refusal
        QCOMPARE(select(a, "18"), Outcome::Taken);
        QVERIFY(!QFile::exists(folder.file("KOSZ/17.p")));
        QVERIFY(QFile::exists(folder.file("KOSZ/18.p")));
        QCOMPARE(select(b, "17"), Outcome::Taken);
        a.release();
        QVERIFY(!QFile::exists(folder.file("KOSZ/18.p")));
        QVERIFY(QFile::exists(folder.file("KOSZ/17.p")));
    }

    void refusalReleasesTheOwnLock() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks a(ws);
        EntryLocks b(ws);
        QCOMPARE(select(a, "5"), Outcome::Taken);
        QCOMPARE(select(b, "6"), Outcome::Taken);
        QCOMPARE(select(b, "5"), Outcome::HeldByOther);
        QVERIFY(!QFile::exists(folder.file("KOSZ/6.p")));
        QCOMPARE(b.ownLock(), folder.file("KOSZ/6.p")); // the name stays, the file is gone
        // Meanwhile A takes 6; B coming back to 6 must respect A's lock.
        QCOMPARE(select(a, "6"), Outcome::Taken);
        QCOMPARE(select(b, "6"), Outcome::HeldByOther);
    }

    void leftoverLockRefusesEvenItsOwner() {
        DataFolder folder;
        folder.writeBytes("KOSZ/5.p", int32Bytes(1));
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks restarted(ws);
        QCOMPARE(select(restarted, "5"), Outcome::HeldByOther);
    }

    void checkThenCreateGapIsClosed() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks a(ws);
        EntryLocks b(ws);
        QCOMPARE(a.check("9"), Outcome::Taken);
        QCOMPARE(b.check("9"), Outcome::Taken);
        QCOMPARE(a.take("9"), Outcome::Taken);
        QCOMPARE(b.take("9"), Outcome::HeldByOther);
    }

    void idsThatAreNotDigitsNameNoFile_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("parent") << QStringLiteral("../../x");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("letters") << QStringLiteral("12ab");
    }
    void idsThatAreNotDigitsNameNoFile() {
        QFETCH(QString, id);
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks locks(ws);
        QCOMPARE(select(locks, id), Outcome::InvalidId);
        QVERIFY(QDir(folder.file("KOSZ")).isEmpty());
        QVERIFY(!QFile::exists(folder.file("x")));
    }

    void emptyAndNegativeIdsHaveLocks() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks locks(ws);
        QCOMPARE(select(locks, QString()), Outcome::Taken);
        QVERIFY(QFile::exists(folder.file("KOSZ/.p")));
        QCOMPARE(select(locks, "-5"), Outcome::Taken);
        QVERIFY(QFile::exists(folder.file("KOSZ/-5.p")));
        QVERIFY(!QFile::exists(folder.file("KOSZ/.p")));
    }

    void missingLockDirectoryIsAnError() {
        DataFolder folder;
        QVERIFY(QDir(folder.file("KOSZ")).removeRecursively());
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks locks(ws);
        QCOMPARE(locks.check("1"), Outcome::Taken);
        QVERIFY_THROWS_EXCEPTION(IoError, locks.take("1"));
        QVERIFY(locks.ownLock().isEmpty());
    }

    // The own lock file replaced by a link (to the main file, say): selecting the shown entry
    // again never writes through it; the entry counts as held by someone else.
    void ownLockReplacedByALinkIsNeverWritten() {
        DataFolder folder;
        folder.writeEntries({test::entry("17", "Alfa")});
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks a(ws);
        QCOMPARE(select(a, "17"), Outcome::Taken);
        QVERIFY(QFile::remove(folder.file("KOSZ/17.p")));
        QVERIFY(QFile::link(folder.file("DANE/spis_ks.dat"), folder.file("KOSZ/17.p")));
        QCOMPARE(select(a, "17"), Outcome::HeldByOther);
        QVERIFY(a.heldByOther("17"));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        // Moving on and ending leave the planted link alone, and its target.
        QCOMPARE(select(a, "18"), Outcome::Taken);
        a.release();
        QVERIFY(QFileInfo(folder.file("KOSZ/17.p")).isSymLink());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
    }

    // The own lock deleted (kestrana-cli unlock) and taken by another workstation: its file is
    // respected, and never deleted when this one moves on.
    void ownLockTakenOverIsRespected() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        EntryLocks a(ws);
        EntryLocks b(ws);
        QCOMPARE(select(a, "17"), Outcome::Taken);
        QVERIFY(QFile::remove(folder.file("KOSZ/17.p")));
        QCOMPARE(select(b, "17"), Outcome::Taken);
        QCOMPARE(select(a, "17"), Outcome::HeldByOther);
        QCOMPARE(select(a, "18"), Outcome::Taken);
        QVERIFY(QFile::exists(folder.file("KOSZ/17.p")));
        QVERIFY(a.heldByOther("17"));
        QVERIFY(!b.heldByOther("17"));
        // Gone without anyone taking it: simply taken again.
        QVERIFY(QFile::remove(folder.file("KOSZ/18.p")));
        QCOMPARE(select(a, "18"), Outcome::Taken);
        QVERIFY(QFile::exists(folder.file("KOSZ/18.p")));
    }

    // A full disk while the lock file is written: no empty lock file stays behind to refuse the
    // entry to everyone, its own user included.
    void lockThatCannotBeWrittenIsRemoved() {
        DataFolder folder;
        Workstation ws;
        ws.baseDir = folder.path();
        files::FaultInjector faults;
        ws.faults = &faults;
        EntryLocks a(ws);
        faults.failWritesAfter(0, ENOSPC);
        QCOMPARE(a.check("5"), Outcome::Taken);
        QVERIFY_THROWS_EXCEPTION(IoError, a.take("5"));
        QVERIFY(!QFileInfo::exists(folder.file("KOSZ/5.p")));
        faults.clear();
        EntryLocks b(ws);
        QCOMPARE(select(b, "5"), Outcome::Taken);
        QCOMPARE(folder.readBytes("KOSZ/5.p"), int32Bytes(1));
    }

    // Three processes add, edit and delete at once while kestrana-cli generates and imports
    // entries; nothing may be lost or mixed up, and no ID is given twice.
    void severalProcessesOnOneFolder() {
        DataFolder folder;
        const QString station = qEnvironmentVariable("STATION");
        QVERIFY(!station.isEmpty());
        // An import file of the 40 demo companies.
        QTemporaryDir demo;
        QCOMPARE(test::runCli(demo.path(), {"init", "--demo"}).exitCode, 0);
        QCOMPARE(test::runCli(demo.path(), {"export", "--csv", "in.csv"}).exitCode, 0);
        QSet<QString> demoNames;
        QFile demoMain(demo.filePath("DANE/spis_ks.dat"));
        QVERIFY(demoMain.open(QIODevice::ReadOnly));
        const QByteArray demoEntries = demoMain.readAll();
        for (qsizetype at = 0; at + 1678 <= demoEntries.size(); at += 1678)
            demoNames.insert(
                EntryRecord::fromBytes(demoEntries.constData() + at).text(Field::nazwa1));
        QCOMPARE(demoNames.size(), 40);
        QList<QProcess*> processes;
        const QStringList names = {"A", "B", "C"};
        for (const QString& name : names) {
            auto* p = new QProcess(this);
            p->start(station, {folder.path(), name, "60"});
            processes.append(p);
        }
        QList<QProcess*> tools;
        for (const QStringList& args : {QStringList{"generate", "--entries", "40", "--seed", "1"},
                                        QStringList{"import", "--csv", demo.filePath("in.csv")},
                                        QStringList{"generate", "--entries", "40", "--seed", "2"},
                                        QStringList{"import", "--csv", demo.filePath("in.csv")}}) {
            auto* p = new QProcess(this);
            p->setWorkingDirectory(folder.path());
            p->start(qEnvironmentVariable("KESTRANA_CLI"), args);
            tools.append(p);
        }
        test::StationLog log;
        for (QProcess* p : processes) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            log.read(*p);
        }
        for (QProcess* p : tools) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        }
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat").size() % 1678, 0);
        int generated = 0;
        int imported = 0;
        const QString problem = log.check(folder.readEntries(), [&](const EntryRecord& r) {
            if (demoNames.contains(r.text(Field::nazwa1))) {
                ++imported;
                return true;
            }
            if (!r.text(Field::numer).startsWith("G-"))
                return false;
            // The code carries the ID generate gave the entry.
            if (r.text(Field::numer) == QStringLiteral("G-%1").arg(r.text(Field::id), 7, '0'))
                ++generated;
            return true;
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(generated, 80);
        QCOMPARE(imported, 80);
        QVERIFY(log.added.size() > 30);
    }
};

KESTRANA_TEST(LockingTest)
#include "LockingTest.moc"
