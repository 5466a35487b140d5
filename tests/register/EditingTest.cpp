#include "register/Editing.h"
#include "platform/CheckedFile.h"
#include "register/Startup.h"
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

std::vector<EntryRecord> fiveEntries() {
    std::vector<EntryRecord> records;
    for (int i = 1; i <= 5; ++i)
        records.push_back(entry(QString::number(i * 10), QStringLiteral("Firma %1").arg(i)));
    return records;
}

Workstation station(const DataFolder& folder) {
    return startup::prepareWorkstation(folder.path(), false, QStringLiteral("2026-12-07"));
}

QStringList ids(const std::vector<EntryRecord>& records) {
    QStringList out;
    for (const EntryRecord& r : records)
        out << r.text(Field::id);
    return out;
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT

private slots:
    void newEntriesGetConsecutiveIds() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QCOMPARE(editing::takeNextId(ws), 2);
        QCOMPARE(editing::takeNextId(ws), 3);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(4));
        QVERIFY(!QFile::exists(folder.file("ADMINI/id_ks.dat.tmp")));
    }

    void missingCounterFails() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QFile::remove(folder.file("ADMINI/id_ks.dat"));
        QVERIFY_THROWS_EXCEPTION(IoError, editing::takeNextId(ws));
    }

    void saveFindsTheEntryByItsId_data() {
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<qint64>("found");
        QTest::newRow("where it was") << qint64(2) << qint64(2);
        QTest::newRow("moved by another workstation") << qint64(4) << qint64(2);
        QTest::newRow("stale position beyond the end") << qint64(40) << qint64(2);
    }
    void saveFindsTheEntryByItsId() {
        QFETCH(qint64, expected);
        QFETCH(qint64, found);
        DataFolder folder;
        auto records = fiveEntries();
        std::memset(records[2].data() + EntryRecord::ReservedOffset, 0x33,
                    EntryRecord::ReservedSize);
        folder.writeEntries(records);
        const Workstation ws = station(folder);
        EntryRecord buffer; // whatever the buffer held last
        EntryFormValues form;
        form[Field::id] = QStringLiteral("30");
        form[Field::nazwa1] = QStringLiteral("Nowa nazwa");
        form[Field::datamodyfikacji] = QStringLiteral("stare");
        QCOMPARE(editing::saveEditedEntry(ws, buffer, form, QStringLiteral("30"), expected), found);
        const auto after = folder.readEntries();
        QCOMPARE(ids(after), ids(records));
        QCOMPARE(after[2].text(Field::nazwa1), QStringLiteral("Nowa nazwa"));
        QCOMPARE(after[2].text(Field::datamodyfikacji), QStringLiteral("2026-12-07"));
        QCOMPARE(after[2].toByteArray().mid(EntryRecord::ReservedOffset),
                 QByteArray(EntryRecord::ReservedSize, 0x33));
        QCOMPARE(after[3], records[3]);
    }

    // Entries without an ID: found where they were, or elsewhere only when no other entry lacks
    // an ID, so that a change never lands on the wrong one.
    void entriesWithoutId_data() {
        QTest::addColumn<QStringList>("stored"); // IDs in file order
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<qint64>("found"); // -1: not found
        QTest::newRow("where it was") << QStringList{"10", "", "30"} << qint64(1) << qint64(1);
        QTest::newRow("moved, the only one")
            << QStringList{"", "20", "30"} << qint64(1) << qint64(0);
        QTest::newRow("where it was, one of two")
            << QStringList{"", "20", ""} << qint64(2) << qint64(2);
        QTest::newRow("moved, one of two") << QStringList{"", "20", ""} << qint64(1) << qint64(-1);
    }
    void entriesWithoutId() {
        QFETCH(QStringList, stored);
        QFETCH(qint64, expected);
        QFETCH(qint64, found);
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (const QString& id : stored)
            records.push_back(entry(id, QStringLiteral("Firma ") + id));
        folder.writeEntries(records);
        const Workstation ws = station(folder);
        EntryRecord buffer;
        EntryFormValues form;
        form[Field::nazwa1] = QStringLiteral("Zmieniona");
        const std::optional<qint64> saved =
            editing::saveEditedEntry(ws, buffer, form, QString(), expected);
        QCOMPARE(saved.value_or(-1), found);
        const auto after = folder.readEntries();
        for (qsizetype i = 0; i < qsizetype(after.size()); ++i)
            QCOMPARE(after[i].text(Field::nazwa1) == QStringLiteral("Zmieniona"), i == found);
    }

    void saveOfADeletedEntryWritesNothing() {
        DataFolder folder;
        folder.writeEntries(fiveEntries());
        const Workstation ws = station(folder);
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        EntryRecord buffer;
        QVERIFY(!editing::saveEditedEntry(ws, buffer, EntryFormValues{}, "99", 1));
        QVERIFY(!editing::deleteEntry(ws, "99", 1));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
    }

    void deleteClosesTheGapAndKeepsTheCounter() {
        DataFolder folder;
        folder.writeEntries(fiveEntries());
        const Workstation ws = station(folder);
        const QByteArray counter = folder.readBytes("ADMINI/id_ks.dat");
        QCOMPARE(editing::deleteEntry(ws, "20", 1), qint64(1));
        QCOMPARE(ids(folder.readEntries()), QStringList({"10", "30", "40", "50"}));
        QCOMPARE(ids(folder.readEntries("DANE/spis.bak")), QStringList({"10", "30", "40", "50"}));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), counter);
    }

    // A delete that fails (disk full, flush, rename) leaves the main file whole and no
    // temporary file behind.
    void failedDeleteLeavesTheMainFileWhole_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<qint64>("budget"); // bytes written before a full disk (for a write)
        QTest::addColumn<QString>("pathPart");
        const int write = static_cast<int>(files::Call::Write);
        QTest::newRow("disk full in the scratch copy") << write << qint64(2000) << QString();
        QTest::newRow("disk full in the rewrite") << write << qint64(4 * 1678 + 3000) << QString();
        QTest::newRow("fsync of the scratch copy")
            << static_cast<int>(files::Call::Sync) << qint64(0) << "spis.bak";
        QTest::newRow("fsync of the new main file")
            << static_cast<int>(files::Call::Sync) << qint64(0) << "spis_ks.dat";
        QTest::newRow("rename over the main file")
            << static_cast<int>(files::Call::Rename) << qint64(0) << "spis_ks.dat";
    }
    void failedDeleteLeavesTheMainFileWhole() {
        QFETCH(int, call);
        QFETCH(qint64, budget);
        QFETCH(QString, pathPart);
        DataFolder folder;
        folder.writeEntries(fiveEntries());
        Workstation ws = station(folder);
        files::FaultInjector faults;
        ws.faults = &faults;
        if (call == static_cast<int>(files::Call::Write))
            faults.failWritesAfter(budget, ENOSPC);
        else
            faults.failCall(static_cast<files::Call>(call), 1, EIO, pathPart);
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        QVERIFY_THROWS_EXCEPTION(IoError, editing::deleteEntry(ws, "30", 2));
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        const QStringList left = QDir(folder.file("DANE")).entryList(QDir::Files);
        QVERIFY2(!left.join(' ').contains(".tmp"), qPrintable(left.join(' ')));
        // Nothing is held afterwards: the next delete goes through.
        ws.faults = nullptr;
        QCOMPARE(editing::deleteEntry(ws, "30", 2), qint64(2));
    }

    void rememberedEntryRoundTrip() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QVERIFY_THROWS_EXCEPTION(IoError, editing::rememberedEntry(ws));
        const EntryRecord r = entry("7", "Zapamiętana");
        editing::rememberEntry(ws, r);
        QCOMPARE(editing::rememberedEntry(ws), r);
        QCOMPARE(folder.readBytes("KOSZ/wpis_ks.dat").size(), 1678);
    }
};

KESTRANA_TEST(EditingTest)
#include "EditingTest.moc"
