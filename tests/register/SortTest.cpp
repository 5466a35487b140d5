#include "register/Sort.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "register/FileLock.h"
#include "register/PolishOrder.h"
#include "station/LockWait.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WaitProbe.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <thread>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString mainPath = QStringLiteral("DANE/spis_ks.dat");
const QString scratchPath = QStringLiteral("DANE/spis.bak");

Workstation stationOn(const DataFolder& folder) {
    Workstation ws;
    ws.workDir = ws.baseDir = folder.path();
    return ws;
}

// Entries whose key field holds `values`, the ID telling the original record number.
std::vector<EntryRecord> entriesWith(SortField field, const QStringList& values) {
    std::vector<EntryRecord> records;
    for (int i = 0; i < values.size(); ++i) {
        EntryRecord r = entry(QString::number(i + 1), QStringLiteral("N%1").arg(i + 1));
        r.setText(keyFieldOf(field), values[i]);
        records.push_back(r);
    }
    return records;
}

std::vector<quint32> idsOf(const std::vector<EntryRecord>& records) {
    std::vector<quint32> ids;
    for (const EntryRecord& r : records)
        ids.push_back(r.text(Field::id).toUInt());
    return ids;
}

// Random Windows-1250 text, mostly the characters that decide Polish order.
QByteArray randomText(QRandomGenerator& rng, int maxLength) {
    static const QByteArray common =
        cp1250::encode(u"aąbcćdeęlłmnńoósśtzźżAĄCĆEĘLŁNŃOÓSŚZŹŻáäčéßü ..,-/„”'()0129");
    QByteArray text;
    const int length = rng.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i) {
        if (rng.bounded(4) == 0)
            text.append(static_cast<char>(rng.bounded(256)));
        else
            text.append(common[rng.bounded(static_cast<int>(common.size()))]);
    }
    return text;
}

// A record whose key field holds exactly these bytes.
EntryRecord recordWithRawKey(Field field, const QByteArray& bytes) {
    EntryRecord r;
    const FieldLayout& l = layoutOf(field);
    const QByteArray stored = bytes.left(l.width);
    r.data()[l.offset] = static_cast<char>(stored.size());
    std::copy(stored.begin(), stored.end(), r.data() + l.offset + 1);
    return r;
}

// 9000 entries with random keys, every Polish letter among them and many equal, in the main
// file of `folder`; returns their records in ascending key order.
QByteArray manyEntriesIn(DataFolder& folder) {
    QRandomGenerator rng(23);
    std::vector<EntryRecord> records;
    for (int i = 0; i < 9000; ++i) {
        EntryRecord r = recordWithRawKey(Field::nazwa1, randomText(rng, 1 + i % 7));
        r.setText(Field::id, QString::number(i + 1));
        records.push_back(r);
    }
    folder.writeEntries(records);
    QByteArray ascending;
    for (const quint32 n :
         sortedRecordNumbers(folder.file(mainPath), SortField::Nazwa1, KeyMethod::Weights))
        ascending.append(records[n - 1].data(), EntryRecord::Size);
    return ascending;
}

QStringList temporaryFilesIn(const DataFolder& folder) {
    return QDir(folder.file(QStringLiteral("DANE"))).entryList({QStringLiteral("*.tmp.*")});
}

} // namespace

class SortTest : public QObject {
    Q_OBJECT

private slots:
    void orderOfKeys_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<std::vector<quint32>>("ascending"); // record numbers

        const auto n1 = static_cast<int>(SortField::Nazwa1);
        QTest::newRow("case ignored")
            << n1 << QStringList{"beta", "Alfa", "alfa2"} << std::vector<quint32>{2, 3, 1};
        QStringList alfas(8, QStringLiteral("Beta"));
        alfas << QStringLiteral("Alfa") << QStringLiteral("Alfa");
        QTest::newRow("ties: record 10 before 9")
            << n1 << alfas << std::vector<quint32>{10, 9, 1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("ties: 1 before 10 before 2")
            << n1 << QStringList(10, QStringLiteral("alfa"))
            << std::vector<quint32>{1, 10, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("same name in other case is a tie")
            << n1 << QStringList{"ALFA", "alfa", "Alfa"} << std::vector<quint32>{1, 2, 3};
        QTest::newRow("a ą b") << n1 << QStringList{"b", "ą", "a", "Ą"}
                               << std::vector<quint32>{3, 2, 4, 1};
        QTest::newRow("L Ł M") << n1 << QStringList{"M", "Ł", "L", "ł"}
                               << std::vector<quint32>{3, 2, 4, 1};
        QTest::newRow("z ź ż") << n1 << QStringList{"ż", "z", "ź"} << std::vector<quint32>{2, 3, 1};
        QTest::newRow("S Ś T") << n1 << QStringList{"Ś", "T", "S"} << std::vector<quint32>{3, 1, 2};
        QTest::newRow("provinces")
            << n1 << QStringList{"śląskie", "łódzkie", "pomorskie", "lubuskie"}
            << std::vector<quint32>{4, 2, 3, 1};
        QTest::newRow("shorter before longer")
            << n1 << QStringList{"Alfa Beta", "Alfa", "Alfab"} << std::vector<quint32>{2, 1, 3};
        QTest::newRow("digits before letters, compared as text")
            << n1 << QStringList{"Firma", "10 Firma", "2 Firma"} << std::vector<quint32>{2, 3, 1};
        QTest::newRow("foreign accent only: record number decides")
            << n1 << QStringList{"Ábel", "Abel"} << std::vector<quint32>{1, 2};
        QTest::newRow("second name")
            << static_cast<int>(SortField::Nazwa2) << QStringList{"Oddział", "", "Centrala"}
            << std::vector<quint32>{2, 3, 1};
        QTest::newRow("dates: calendar order, empty first")
            << static_cast<int>(SortField::Data)
            << QStringList{"2021-03-01", "", "1999-12-31", "2021-02-28", "2000-01-01"}
            << std::vector<quint32>{2, 3, 5, 4, 1};
        QTest::newRow("codes as text")
            << static_cast<int>(SortField::Numer) << QStringList{"P-10", "P-9", "P-1"}
            << std::vector<quint32>{3, 1, 2};
    }
    void orderOfKeys() {
        QFETCH(int, field);
        QFETCH(QStringList, values);
        QFETCH(std::vector<quint32>, ascending);
        const auto sortField = static_cast<SortField>(field);
        DataFolder folder;
        folder.writeEntries(entriesWith(sortField, values));
        const QString main = folder.file(mainPath);

        QCOMPARE(sortedRecordNumbers(main, sortField, KeyMethod::Weights), ascending);
        QCOMPARE(sortedRecordNumbers(main, sortField, KeyMethod::CollatorKeys), ascending);

        const Workstation ws = stationOn(folder);
        sortRegister(ws, sortField, true);
        std::vector<quint32> descending(ascending.rbegin(), ascending.rend());
        QCOMPARE(idsOf(folder.readEntries()), descending);
        // The scratch copy is ascending whichever direction was chosen.
        QCOMPARE(idsOf(folder.readEntries(scratchPath)), ascending);

        // Sorting the sorted file ascending: the new record numbers break the ties now.
        folder.writeEntries(entriesWith(sortField, values));
        sortRegister(ws, sortField, false);
        QCOMPARE(idsOf(folder.readEntries()), ascending);
        QCOMPARE(folder.readBytes(scratchPath), folder.readBytes(mainPath));
        QVERIFY(temporaryFilesIn(folder).isEmpty());
    }

    // The weights are read from the collator; they must give its order, on keys and on any text
    // whose letters differ.
    void weightsAgreeWithCollator() {
        const PolishOrder& order = PolishOrder::instance();
        QVERIFY(order.exact());
        const QCollator collator = polishCollator();
        QRandomGenerator rng(2024);
        for (int i = 0; i < 20000; ++i) {
            QByteArray a = randomText(rng, 8);
            QByteArray b = rng.bounded(3) == 0 ? a + randomText(rng, 2) : randomText(rng, 8);
            if (rng.bounded(2))
                std::swap(a, b);
            const QString ta = cp1250::decode(a);
            const QString tb = cp1250::decode(b);
            const int byWeights = order.weights(a).compare(order.weights(b));
            if (byWeights != 0) {
                QVERIFY2((byWeights < 0) == (collator.compare(ta, tb) < 0),
                         qPrintable(ta + QStringLiteral(" | ") + tb));
            } else {
                // Equal letters: an appended letter decides.
                QVERIFY2(collator.compare(ta + u'b', tb + u'a') > 0 &&
                             collator.compare(ta + u'a', tb + u'b') < 0,
                         qPrintable(ta + QStringLiteral(" | ") + tb));
            }
        }
    }

    // Whole files of random keys, many ties and prefixes among them: both key methods give the
    // order of the collator comparing the key texts.
    void bothMethodsSortLikeTheCollator_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("count");
        QTest::newRow("nazwa1") << static_cast<int>(SortField::Nazwa1) << 1u << 1500;
        QTest::newRow("nazwa1, other seed") << static_cast<int>(SortField::Nazwa1) << 77u << 1500;
        QTest::newRow("data") << static_cast<int>(SortField::Data) << 5u << 1500;
        // Enough keys for the sort to split them between two cores.
        QTest::newRow("nazwa1, two cores") << static_cast<int>(SortField::Nazwa1) << 19u << 40000;
    }
    void bothMethodsSortLikeTheCollator() {
        QFETCH(int, field);
        QFETCH(quint32, seed);
        QFETCH(int, count);
        const auto sortField = static_cast<SortField>(field);
        QRandomGenerator rng(seed);
        std::vector<EntryRecord> records;
        std::vector<QByteArray> used;
        for (int i = 0; i < count; ++i) {
            QByteArray key;
            const int kind = used.empty() ? 0 : rng.bounded(4);
            if (kind == 1) // a tie
                key = used[rng.bounded(static_cast<int>(used.size()))];
            else if (kind == 2) // a longer key with the same beginning
                key = used[rng.bounded(static_cast<int>(used.size()))] + randomText(rng, 3);
            else
                key = randomText(rng, 12);
            used.push_back(key);
            records.push_back(recordWithRawKey(keyFieldOf(sortField), key));
        }
        DataFolder folder;
        folder.writeEntries(records);

        std::vector<quint32> expected;
        std::vector<QString> keys(records.size() + 1);
        for (quint32 n = 1; n <= records.size(); ++n) {
            expected.push_back(n);
            keys[n] = sortKeyText(records[n - 1], sortField, n);
        }
        const QCollator collator = polishCollator();
        std::sort(expected.begin(), expected.end(),
                  [&](quint32 a, quint32 b) { return collator.compare(keys[a], keys[b]) < 0; });
        const QString main = folder.file(mainPath);
        QCOMPARE(sortedRecordNumbers(main, sortField, KeyMethod::Weights), expected);
        QCOMPARE(sortedRecordNumbers(main, sortField, KeyMethod::CollatorKeys), expected);
    }

    void keyText() {
        const EntryRecord r = entry(QStringLiteral("1"), QStringLiteral("Łąka"));
        const QString key = sortKeyText(r, SortField::Nazwa1, 123456);
        QCOMPARE(key.size(), 85);
        QCOMPARE(key, QStringLiteral("Łąka") + QString(75, u' ') + QStringLiteral("123456"));
    }

    void questionNamesTheChosenField_data() {
        QTest::addColumn<int>("chosen"); // 0: nothing chosen yet
        QTest::addColumn<QString>("question");
        QTest::newRow("first of the run") << 0 << QStringLiteral("Sortować dane w/g pola Nazwa ?");
        QTest::newRow("s1") << 1 << QStringLiteral("Sortować dane w/g pola Nazwa I ?");
        QTest::newRow("s2") << 2 << QStringLiteral("Sortować dane w/g pola Nazwa II ?");
        QTest::newRow("s3") << 3 << QStringLiteral("Sortować dane w/g pola Data ?");
        QTest::newRow("s4") << 4 << QStringLiteral("Sortować dane w/g pola Kod ?");
    }
    void questionNamesTheChosenField() {
        QFETCH(int, chosen);
        QFETCH(QString, question);
        SortChoice choice;
        if (chosen > 0)
            choice.choose(static_cast<SortField>(chosen));
        QCOMPARE(static_cast<int>(choice.field), std::max(chosen, 1));
        QCOMPARE(sortQuestion(choice.name), question);
    }

    // A write, flush or rename that fails, in the scratch copy or in the new main file, leaves
    // the main file as it was and no temporary file behind.
    void failedWriteKeepsTheMainFile_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("recordsWritten"); // before the disk is full (for a write)
        QTest::addColumn<bool>("scratchComplete");
        QTest::addColumn<QString>("pathPart"); // of the call that fails
        QTest::addColumn<bool>("descending");
        const int write = static_cast<int>(files::Call::Write);
        QTest::newRow("disk full in the scratch copy") << write << 2 << false << QString() << false;
        QTest::newRow("disk full in the main file") << write << 12 << true << QString() << false;
        QTest::newRow("fsync of the new main file")
            << static_cast<int>(files::Call::Sync) << 0 << true << "spis_ks.dat" << false;
        QTest::newRow("rename over the main file")
            << static_cast<int>(files::Call::Rename) << 0 << true << "spis_ks.dat" << false;
        QTest::newRow("close of the new main file")
            << static_cast<int>(files::Call::Close) << 0 << true << "spis_ks.dat.tmp." << false;
        // A descending sort writes the new main file reversed, block by block.
        QTest::newRow("disk full in the reversed main file")
            << write << 12 << true << QString() << true;
    }
    void failedWriteKeepsTheMainFile() {
        QFETCH(int, call);
        QFETCH(int, recordsWritten);
        QFETCH(bool, scratchComplete);
        QFETCH(QString, pathPart);
        QFETCH(bool, descending);
        const QStringList names = {"Gamma", "Alfa", "Epsilon", "Beta", "Delta",
                                   "Zeta",  "Eta",  "Theta",   "Iota", "Kappa"};
        DataFolder folder;
        folder.writeEntries(entriesWith(SortField::Nazwa1, names));
        const QByteArray before = folder.readBytes(mainPath);

        files::FaultInjector faults;
        if (call == static_cast<int>(files::Call::Write))
            faults.failWritesAfter(qint64(recordsWritten) * EntryRecord::Size + 100, ENOSPC);
        else
            faults.failCall(static_cast<files::Call>(call), 1, EIO, pathPart);
        Workstation ws = stationOn(folder);
        ws.faults = &faults;
        QVERIFY_THROWS_EXCEPTION(IoError, sortRegister(ws, SortField::Nazwa1, descending));

        QCOMPARE(folder.readBytes(mainPath), before);
        QVERIFY(temporaryFilesIn(folder).isEmpty());
        if (scratchComplete)
            QCOMPARE(idsOf(folder.readEntries(scratchPath)),
                     (std::vector<quint32>{2, 4, 5, 3, 7, 1, 9, 10, 8, 6}));
    }

    // Enough entries for two threads to read alternate blocks: the files hold every record,
    // byte for byte, in key order (the main file reversed for a descending sort).
    void sortedFilesHoldEveryRecordInOrder_data() {
        QTest::addColumn<bool>("descending");
        QTest::newRow("ascending") << false;
        QTest::newRow("descending") << true;
    }
    void sortedFilesHoldEveryRecordInOrder() {
        QFETCH(bool, descending);
        DataFolder folder;
        const QByteArray ascending = manyEntriesIn(folder);
        QByteArray reversed;
        for (qsizetype at = ascending.size() - EntryRecord::Size; at >= 0; at -= EntryRecord::Size)
            reversed.append(ascending.constData() + at, EntryRecord::Size);

        sortRegister(stationOn(folder), SortField::Nazwa1, descending);
        QCOMPARE(folder.readBytes(scratchPath) == ascending, true);
        QCOMPARE(folder.readBytes(mainPath) == (descending ? reversed : ascending), true);
    }

    // A disk that fills up while both threads write leaves the main file as it was and the
    // scratch copy holding the sorted records up to the first block not written, in order.
    void failedPassKeepsTheScratchCopyInOrder_data() {
        QTest::addColumn<int>("recordsWritten");
        QTest::addColumn<bool>("descending");
        for (const int records : {0, 3000, 7000, 11000, 16000})
            for (const bool descending : {false, true})
                QTest::addRow("after %d records, %s", records,
                              descending ? "descending" : "ascending")
                    << records << descending;
    }
    void failedPassKeepsTheScratchCopyInOrder() {
        QFETCH(int, recordsWritten);
        QFETCH(bool, descending);
        DataFolder folder;
        const QByteArray ascending = manyEntriesIn(folder);
        const QByteArray before = folder.readBytes(mainPath);
        folder.writeBytes(scratchPath, QByteArray(ascending.size() + 5, 'x'));

        files::FaultInjector faults;
        faults.failWritesAfter(qint64(recordsWritten) * EntryRecord::Size, ENOSPC);
        Workstation ws = stationOn(folder);
        ws.faults = &faults;
        QVERIFY_THROWS_EXCEPTION(IoError, sortRegister(ws, SortField::Nazwa1, descending));

        QCOMPARE(folder.readBytes(mainPath) == before, true);
        QVERIFY(temporaryFilesIn(folder).isEmpty());
        const QByteArray scratch = folder.readBytes(scratchPath);
        // Whole blocks of 4096 records, or all of them.
        QVERIFY(scratch.size() % (4096 * EntryRecord::Size) == 0 ||
                scratch.size() == ascending.size());
        QVERIFY(scratch.size() <= qsizetype(recordsWritten) * EntryRecord::Size);
        QCOMPARE(ascending.startsWith(scratch), true);
    }

    // A larger scratch copy left by an earlier sort is written over and cut to the new entries.
    void scratchCopyIsCutToItsEntries() {
        DataFolder folder;
        folder.writeEntries(entriesWith(SortField::Nazwa1, {"C", "A", "B"}));
        folder.writeBytes(QStringLiteral("DANE/spis.bak"), QByteArray(10 * EntryRecord::Size, 'x'));
        sortRegister(stationOn(folder), SortField::Nazwa1, true);
        QCOMPARE(idsOf(folder.readEntries(scratchPath)), (std::vector<quint32>{2, 3, 1}));
        QCOMPARE(idsOf(folder.readEntries(mainPath)), (std::vector<quint32>{1, 3, 2}));
    }

    // The sort waits for a change another workstation is making and works on its result.
    void sortHoldsTheMainFileLock() {
        DataFolder folder;
        folder.writeEntries(entriesWith(SortField::Nazwa1, {"C", "B"}));
        Workstation ws = stationOn(folder);
        test::WaitProbe probe;
        ws.lockWait = &probe;
        std::atomic<bool> done = false;
        std::thread sorter;
        {
            const FileLock other(lockPathFor(ws.mainFile()));
            sorter = std::thread([&] {
                try {
                    sortRegister(ws, SortField::Nazwa1, false);
                    done = true;
                } catch (const IoError&) {
                }
            });
            // The sorter has found the lock held and waits: nothing is sorted yet.
            QVERIFY(probe.waitUntilWaiting());
            QVERIFY(!done);
            // The other workstation adds an entry while holding the lock.
            std::vector<EntryRecord> three = entriesWith(SortField::Nazwa1, {"C", "B", "A"});
            files::appendRecord(ws.mainFile(), QByteArrayView(three[2].data(), EntryRecord::Size));
        }
        sorter.join();
        QVERIFY(done);
        QCOMPARE(idsOf(folder.readEntries()), (std::vector<quint32>{3, 2, 1}));
    }

    // A sort that cannot get the lock in time gives up with nothing changed.
    void sortGivesUpOnABusyLock() {
        DataFolder folder;
        folder.writeEntries(entriesWith(SortField::Nazwa1, {"C", "B"}));
        const QByteArray before = folder.readBytes(mainPath);
        Workstation ws = stationOn(folder);
        DeadlineWait briefly(std::chrono::milliseconds(50));
        ws.lockWait = &briefly;
        const FileLock other(lockPathFor(ws.mainFile()));
        try {
            sortRegister(ws, SortField::Nazwa1, false);
            QFAIL("sorted under another's lock");
        } catch (const LockNotGranted& e) {
            QVERIFY2(e.text().contains(QStringLiteral("Nic nie zostało zapisane.")),
                     qPrintable(e.text()));
        }
        QCOMPARE(folder.readBytes(mainPath), before);
        QVERIFY(!QFile::exists(folder.file(scratchPath)));
    }

    // The record number has 6 digits: a larger file is refused, untouched.
    void moreThan999999EntriesRefused() {
        DataFolder folder;
        QFile main(folder.file(mainPath));
        QVERIFY(main.open(QIODevice::WriteOnly));
        QVERIFY(main.resize(qint64(1000000) * EntryRecord::Size)); // sparse: costs no disk
        main.close();
        try {
            sortRegister(stationOn(folder), SortField::Nazwa1, false);
            QFAIL("sorted a file of a million entries");
        } catch (const IoError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("najwyżej 999 999")), qPrintable(e.text()));
        }
        QCOMPARE(main.size(), qint64(1000000) * EntryRecord::Size);
        QVERIFY(!QFile::exists(folder.file(scratchPath)));
    }
};

KESTRANA_TEST(SortTest)
#include "SortTest.moc"
