#include "platform/CheckedFile.h"
#include "register/EntryLocks.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTest>

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

    // Three processes add, edit and delete at once; nothing may be lost or mixed up.
    void severalProcessesOnOneFolder() {
        DataFolder folder;
        const QString station = qEnvironmentVariable("STATION");
        QVERIFY(!station.isEmpty());
        QList<QProcess*> processes;
        const QStringList names = {"A", "B", "C"};
        for (const QString& name : names) {
            auto* p = new QProcess(this);
            p->start(station, {folder.path(), name, "60"});
            processes.append(p);
        }
        QMap<QString, QString> added;    // id -> name
        QMap<QString, QString> lastEdit; // id -> nazwa2
        QSet<QString> deleted;
        for (QProcess* p : processes) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            const QStringList lines =
                QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            for (const QString& line : lines) {
                const QStringList w = line.split(' ');
                if (w[0] == "added") {
                    QVERIFY2(!added.contains(w[1]), "an ID was given twice");
                    added[w[1]] = w[2];
                } else if (w[0] == "edited") {
                    lastEdit[w[1]] = w.mid(2).join(' ');
                } else if (w[0] == "deleted") {
                    deleted.insert(w[1]);
                }
            }
        }
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat").size() % 1678, 0);
        const auto entries = folder.readEntries();
        QSet<QString> seen;
        for (const EntryRecord& r : entries) {
            const QString id = r.text(Field::id);
            if (id == "1")
                continue; // the entry a new main file starts with
            QVERIFY2(!seen.contains(id), "an entry is stored twice");
            seen.insert(id);
            QVERIFY(added.contains(id));
            QVERIFY(!deleted.contains(id));
            QCOMPARE(r.text(Field::nazwa1), added[id]);
            const QString owner = added[id].section('-', 0, 0);
            QVERIFY(r.text(Field::nazwa2).startsWith(owner + ' '));
            if (lastEdit.contains(id))
                QCOMPARE(r.text(Field::nazwa2), lastEdit[id]);
        }
        QCOMPARE(seen.size(), added.size() - deleted.size());
        QVERIFY(added.size() > 30);
    }
};

KESTRANA_TEST(LockingTest)
#include "LockingTest.moc"
