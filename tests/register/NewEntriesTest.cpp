#include "platform/CheckedFile.h"
#include "register/Editing.h"
#include "register/FileLock.h"
#include "register/Startup.h"
#include "station/LockWait.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

Workstation station(const DataFolder& folder) {
    return startup::prepareWorkstation(folder.path(), false, QStringLiteral("2026-12-07"));
}

std::vector<EntryRecord> named(int count) {
    std::vector<EntryRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back(entry(QString(), QStringLiteral("Nowa %1").arg(i)));
    return records;
}

QStringList temporaryFiles(const DataFolder& folder) {
    QStringList found;
    for (const char* dir : {"DANE", "ADMINI"})
        found += QDir(folder.file(QLatin1String(dir))).entryList({QStringLiteral("*.tmp.*")});
    return found;
}

} // namespace

// New entries: IDs from the counter under its lock, the main file extended under its lock, all
// or nothing, and never an ID that does not fit the 10-character field as a positive number.
class NewEntriesTest : public QObject {
    Q_OBJECT

private slots:
    void appendedEntriesGetTheNextIds() {
        DataFolder folder;
        const Workstation ws = station(folder);
        std::vector<EntryRecord> records = named(3);
        const editing::Appended appended = editing::appendNewEntries(ws, records);
        QCOMPARE(appended.firstId, 2);
        QCOMPARE(appended.firstPosition, qint64(1));
        const auto stored = folder.readEntries();
        QCOMPARE(stored.size(), size_t(4));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stored[i + 1].text(Field::id), QString::number(2 + i));
            QCOMPARE(records[i].text(Field::id), QString::number(2 + i));
            QCOMPARE(stored[i + 1].text(Field::nazwa1), QStringLiteral("Nowa %1").arg(i));
        }
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(5));

        EntryRecord one = entry(QString(), QStringLiteral("Jedna"));
        const editing::Appended added = editing::addEntry(ws, one);
        QCOMPARE(added.firstId, 5);
        QCOMPARE(added.firstPosition, qint64(4));
        QCOMPARE(one.text(Field::id), QStringLiteral("5"));
        QCOMPARE(folder.readEntries()[4], one);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(6));
    }

    void idsNeverLeaveTheirField_data() {
        QTest::addColumn<qint32>("counter");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the last ID") << qint32(2147483646) << 1 << false;
        QTest::newRow("at the limit") << qint32(2147483647) << 1 << true;
        QTest::newRow("seven IDs left, seven entries") << qint32(2147483640) << 7 << false;
        QTest::newRow("seven IDs left, eight entries") << qint32(2147483640) << 8 << true;
        QTest::newRow("counter at zero") << qint32(0) << 1 << true;
        QTest::newRow("counter below zero") << qint32(-5) << 2 << true;
    }
    void idsNeverLeaveTheirField() {
        QFETCH(qint32, counter);
        QFETCH(int, count);
        QFETCH(bool, refused);
        for (const bool one : {true, false}) {
            if (one && count != 1)
                continue;
            DataFolder folder;
            const Workstation ws = station(folder);
            folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(counter));
            const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
            std::vector<EntryRecord> records = named(count);
            try {
                if (one)
                    editing::addEntry(ws, records[0]);
                else
                    editing::appendNewEntries(ws, records);
                QVERIFY(!refused);
            } catch (const IoError& e) {
                QVERIFY2(refused, qPrintable(e.text()));
                QVERIFY2(e.text().contains(QStringLiteral("Nic nie zostało zapisane.")),
                         qPrintable(e.text()));
                QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
                QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(counter));
                continue;
            }
            const auto stored = folder.readEntries();
            QCOMPARE(stored.size(), size_t(1 + count));
            for (size_t i = 1; i < stored.size(); ++i) {
                const QString id = stored[i].text(Field::id);
                QCOMPARE(id, QString::number(qint64(counter) + qint64(i) - 1));
                QVERIFY(id.toLongLong() >= 1 && id.size() <= 10);
            }
            QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(counter + count));
        }
        // The program's own step refuses the same way.
        DataFolder folder;
        const Workstation ws = station(folder);
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(2147483647));
        QVERIFY_THROWS_EXCEPTION(IoError, editing::takeNextId(ws));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2147483647));
    }

    void counterBelowOneIsNeverStored() {
        DataFolder folder;
        const Workstation ws = station(folder);
        for (const qint32 value : {0, -1})
            QVERIFY_THROWS_EXCEPTION(IoError, editing::writeIdCounter(ws, value));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2));
        editing::writeIdCounter(ws, 2147483647);
        QCOMPARE(editing::readIdCounter(ws), 2147483647);
    }

    // A failure while the batch or its journal is written or flushed adds no entry; the IDs
    // taken stay unused, so none is ever given twice.
    void failedAppendAddsNothing_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<QString>("pathPart");
        QTest::newRow("write") << static_cast<int>(files::Call::Write) << "spis_ks.dat";
        QTest::newRow("fsync") << static_cast<int>(files::Call::Sync) << "spis_ks.dat";
        QTest::newRow("writing the journal")
            << static_cast<int>(files::Call::Write) << "spis_ks.dop";
        QTest::newRow("opening the main file")
            << static_cast<int>(files::Call::Open) << "spis_ks.dat";
    }
    void failedAppendAddsNothing() {
        QFETCH(int, call);
        QFETCH(QString, pathPart);
        DataFolder folder;
        Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), 1, EIO, pathPart);
        ws.faults = &faults;
        std::vector<EntryRecord> records = named(3);
        QVERIFY_THROWS_EXCEPTION(IoError, editing::appendNewEntries(ws, records));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(5));
        QVERIFY2(temporaryFiles(folder).isEmpty(), qPrintable(temporaryFiles(folder).join(' ')));
        ws.faults = nullptr;
        QCOMPARE(editing::appendNewEntries(ws, records).firstId, 5);
    }

    // The counter's own rewrite failing leaves the counter as it was and nothing added.
    void failedCounterWriteAddsNothing_data() {
        QTest::addColumn<int>("call");
        QTest::newRow("fsync") << static_cast<int>(files::Call::Sync);
        QTest::newRow("rename") << static_cast<int>(files::Call::Rename);
        QTest::newRow("write") << static_cast<int>(files::Call::Write);
    }
    void failedCounterWriteAddsNothing() {
        QFETCH(int, call);
        DataFolder folder;
        Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), 1, EIO, QStringLiteral("id_ks.dat"));
        ws.faults = &faults;
        EntryRecord one = entry(QString(), QStringLiteral("Nowa"));
        QVERIFY_THROWS_EXCEPTION(IoError, editing::addEntry(ws, one));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QVERIFY(temporaryFiles(folder).isEmpty());
        faults.failCall(static_cast<files::Call>(call), 1, EIO, QStringLiteral("id_ks.dat"));
        QVERIFY_THROWS_EXCEPTION(IoError, editing::writeIdCounter(ws, 40));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2));
        QVERIFY(temporaryFiles(folder).isEmpty());
    }

    // A full disk in the middle of the one record "Zapisz dane" appends: the torn record is cut
    // off again, so the file keeps only whole records.
    void tornAppendIsCutOff() {
        DataFolder folder;
        Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        // The counter's 4 bytes go through, the record stops after 700 bytes.
        faults.failWritesAfter(4 + 700, ENOSPC);
        ws.faults = &faults;
        EntryRecord one = entry(QString(), QStringLiteral("Nowa"));
        QVERIFY_THROWS_EXCEPTION(IoError, editing::addEntry(ws, one));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(3)); // ID 2 stays unused
    }

    // A lock another workstation holds for too long: given up, nothing written, whichever of
    // the two locks it is.
    void busyLockWritesNothing_data() {
        QTest::addColumn<QString>("held");
        QTest::newRow("main file") << "DANE/spis_ks.lck";
        QTest::newRow("ID counter") << "ADMINI/id_ks.lck";
    }
    void busyLockWritesNothing() {
        QFETCH(QString, held);
        DataFolder folder;
        Workstation ws = station(folder);
        DeadlineWait briefly(std::chrono::milliseconds(30));
        ws.lockWait = &briefly;
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        const FileLock other(folder.file(held));
        EntryRecord one = entry(QString(), QStringLiteral("Nowa"));
        QVERIFY_THROWS_EXCEPTION(LockNotGranted, editing::addEntry(ws, one));
        std::vector<EntryRecord> records = named(2);
        QVERIFY_THROWS_EXCEPTION(LockNotGranted, editing::appendNewEntries(ws, records));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2));
    }
};

KESTRANA_TEST(NewEntriesTest)
#include "NewEntriesTest.moc"
