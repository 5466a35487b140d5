#include "cash/Voucher.h"
#include "cash/VoucherCounter.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "register/FileLock.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WaitProbe.h"

#include <QDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <limits>
#include <set>
#include <thread>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

// The counter record as bytes: number little-endian, length byte, suffix bytes, zeros.
QByteArray counterBytes(qint32 next, const QByteArray& suffix) {
    QByteArray bytes(CounterRecord::Size, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((quint32(next) >> (8 * i)) & 0xff);
    bytes[4] = static_cast<char>(suffix.size());
    bytes.replace(5, suffix.size(), suffix);
    return bytes;
}

struct Station {
    DataFolder folder;
    Workstation ws;
    // The voucher directory is spelled differently from the program's "DOKUMENTY" on purpose.
    explicit Station(bool withDocuments = true) {
        ws.baseDir = ws.workDir = folder.path();
        QDir(folder.file(QStringLiteral("DOKUMENTY"))).removeRecursively();
        if (withDocuments)
            QDir(folder.path()).mkdir(QStringLiteral("Dokumenty"));
    }
    QByteArray kp() const { return folder.readBytes(QStringLiteral("Dokumenty/nrkp.dat")); }
    void setKp(const QByteArray& bytes) const {
        folder.writeBytes(QStringLiteral("Dokumenty/nrkp.dat"), bytes);
    }
};

} // namespace

class CounterTest : public QObject {
    Q_OBJECT

private slots:
    void recordLayout() {
        QCOMPARE(CounterRecord({57, QStringLiteral("2006")}).toBytes(), counterBytes(57, "2006"));
        QCOMPARE(CounterRecord({-2, QString()}).toBytes(),
                 QByteArray::fromHex("feffffff00") + QByteArray(10, '\0'));
        QCOMPARE(CounterRecord({1, QStringLiteral("żółć")}).toBytes(),
                 counterBytes(1, QByteArray::fromHex("bff3b3e6")));
        QCOMPARE(CounterRecord({1, QStringLiteral("200620072008")}).toBytes(),
                 counterBytes(1, "2006200720"));
        // A length byte above 10 reads as 10.
        QByteArray bytes = counterBytes(300, "ABCDEFGHIJ");
        bytes[4] = char(200);
        QCOMPARE(CounterRecord::fromBytes(bytes),
                 CounterRecord({300, QStringLiteral("ABCDEFGHIJ")}));
    }

    void firstVoucherOfAKind() {
        Station s;
        QVERIFY(ensureCounterFile(s.ws, DocumentKind::KP));
        QCOMPARE(s.kp(), counterBytes(1, ""));
        QVERIFY(!ensureCounterFile(s.ws, DocumentKind::KP));

        Voucher v;
        v.kind = DocumentKind::KP;
        const CounterRecord taken = takeVoucherNumber(s.ws, DocumentKind::KP);
        v.numerkp = QString::number(taken.next);
        v.rozszerzeniekp = taken.suffix;
        QCOMPARE(printTitle(v), QStringLiteral("Dowód wpłaty KP nr 1/"));
        QCOMPARE(s.kp(), counterBytes(2, ""));
        // The kinds count apart.
        QVERIFY(!s.folder.readBytes(QStringLiteral("Dokumenty/nrkw.dat")).size());
        QVERIFY(ensureCounterFile(s.ws, DocumentKind::KW));
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KW).next, 1);
        QCOMPARE(s.kp(), counterBytes(2, ""));
        // Nothing but the counters and their lock files is left behind.
        QCOMPARE(QDir(s.folder.file(QStringLiteral("Dokumenty"))).entryList(QDir::Files),
                 QStringList({QStringLiteral("nrkp.dat"), QStringLiteral("nrkp.lck"),
                              QStringLiteral("nrkw.dat"), QStringLiteral("nrkw.lck")}));
    }

    void preparationKeepsAnExistingCounter() {
        Station s;
        s.setKp(QByteArray("xyz"));
        QVERIFY(!ensureCounterFile(s.ws, DocumentKind::KP));
        QCOMPARE(s.kp(), QByteArray("xyz"));
    }

    void typedNumberIsReplacedUnlessSaved() {
        Station s;
        ensureCounterFile(s.ws, DocumentKind::KP);
        // Typed 57 and 2006, printed without storing them: the stored values win.
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP), CounterRecord({1, QString()}));

        saveCounterParameters(s.ws, DocumentKind::KP, QStringLiteral("57"), QStringLiteral("2006"));
        QCOMPARE(s.kp(), counterBytes(57, "2006"));
        QCOMPARE(readCounter(s.ws, DocumentKind::KP), CounterRecord({57, QStringLiteral("2006")}));
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP),
                 CounterRecord({57, QStringLiteral("2006")}));
        QCOMPARE(s.kp(), counterBytes(58, "2006"));
    }

    void savedParameters_data() {
        QTest::addColumn<QString>("numerkp");
        QTest::addColumn<QString>("rozszerzeniekp");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("12 characters cut to 10")
            << QStringLiteral("5") << QStringLiteral("200620072008")
            << counterBytes(5, "2006200720");
        QTest::newRow("number with a letter")
            << QStringLiteral("12x") << QString() << counterBytes(12, "");
        QTest::newRow("letters only") << QStringLiteral("abc") << QString() << counterBytes(0, "");
        QTest::newRow("empty") << QString() << QStringLiteral("/A") << counterBytes(0, "/A");
        QTest::newRow("blanks and sign")
            << QStringLiteral("  -5") << QString() << counterBytes(-5, "");
        QTest::newRow("beyond 32 bits")
            << QStringLiteral("99999999999") << QString() << counterBytes(2147483647, "");
        QTest::newRow("polish suffix") << QStringLiteral("3") << QStringLiteral("Łódź")
                                       << counterBytes(3, QByteArray::fromHex("a3f3649f"));
    }
    void savedParameters() {
        QFETCH(QString, numerkp);
        QFETCH(QString, rozszerzeniekp);
        QFETCH(QByteArray, bytes);
        Station s;
        s.setKp(counterBytes(40, "old suffix"));
        saveCounterParameters(s.ws, DocumentKind::KP, numerkp, rozszerzeniekp);
        QCOMPARE(s.kp(), bytes);
    }

    // The suffix goes back exactly as stored; what lies after it is zeroed.
    void stepKeepsTheSuffixBytes() {
        Station s;
        QByteArray bytes = counterBytes(9, QByteArray::fromHex("8161"));
        bytes[12] = 'x';
        s.setKp(bytes);
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP).next, 9);
        QCOMPARE(s.kp(), counterBytes(10, QByteArray::fromHex("8161")));

        bytes = counterBytes(3, "ABCDEFGHIJ");
        bytes[4] = char(0xff);
        s.setKp(bytes);
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP).suffix, QStringLiteral("ABCDEFGHIJ"));
        QCOMPARE(s.kp(), counterBytes(4, "ABCDEFGHIJ"));
    }

    void badCounterFiles() {
        Station s;
        // Missing: printing reports the failure.
        QVERIFY_THROWS_EXCEPTION(IoError, takeVoucherNumber(s.ws, DocumentKind::KP));
        QVERIFY_THROWS_EXCEPTION(IoError, readCounter(s.ws, DocumentKind::KP));
        // Short: reported, and the file stays as it was.
        s.setKp(QByteArray::fromHex("0500"));
        QVERIFY_THROWS_EXCEPTION(IoError, takeVoucherNumber(s.ws, DocumentKind::KP));
        QCOMPARE(s.kp(), QByteArray::fromHex("0500"));
        s.setKp(QByteArray());
        QVERIFY_THROWS_EXCEPTION(IoError, takeVoucherNumber(s.ws, DocumentKind::KP));
        // "Zapisz parametry" repairs it without reading it.
        saveCounterParameters(s.ws, DocumentKind::KP, QStringLiteral("8"), QString());
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP).next, 8);
        // Long: the first record counts and the file is a single record again.
        s.setKp(counterBytes(20, "A") + QByteArray(30, 'z'));
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP),
                 CounterRecord({20, QStringLiteral("A")}));
        QCOMPARE(s.kp(), counterBytes(21, "A"));
    }

    void missingVoucherDirectory() {
        Station s(false);
        QVERIFY_THROWS_EXCEPTION(IoError, ensureCounterFile(s.ws, DocumentKind::KP));
        QVERIFY_THROWS_EXCEPTION(
            IoError, saveCounterParameters(s.ws, DocumentKind::KW, QStringLiteral("1"), QString()));
        QVERIFY_THROWS_EXCEPTION(IoError, takeVoucherNumber(s.ws, DocumentKind::KP));
        QVERIFY(!QDir(s.folder.file(QStringLiteral("DOKUMENTY"))).exists());
    }

    void counterAtTheLargestNumber() {
        Station s;
        s.setKp(counterBytes(2147483647, "X"));
        QVERIFY_THROWS_EXCEPTION(CounterFullError, takeVoucherNumber(s.ws, DocumentKind::KP));
        QCOMPARE(s.kp(), counterBytes(2147483647, "X"));
        QVERIFY(!CounterFullError().text().isEmpty());
    }

    // A failing write, flush or rename leaves the old counter whole, no temporary file, and the
    // lock released.
    void failedWriteLeavesTheCounter_data() {
        QTest::addColumn<int>("call");
        QTest::newRow("disk full") << static_cast<int>(files::Call::Write);
        QTest::newRow("fsync") << static_cast<int>(files::Call::Sync);
        QTest::newRow("rename") << static_cast<int>(files::Call::Rename);
    }
    void failedWriteLeavesTheCounter() {
        QFETCH(int, call);
        Station s;
        s.setKp(counterBytes(30, "B"));
        files::FaultInjector faults;
        s.ws.faults = &faults;
        const auto plan = [&] {
            if (call == static_cast<int>(files::Call::Write))
                faults.failWritesAfter(4, ENOSPC);
            else
                faults.failCall(static_cast<files::Call>(call), 1, EIO);
        };
        plan();
        QVERIFY_THROWS_EXCEPTION(IoError, takeVoucherNumber(s.ws, DocumentKind::KP));
        faults.clear();
        plan();
        QVERIFY_THROWS_EXCEPTION(
            IoError, saveCounterParameters(s.ws, DocumentKind::KP, QStringLiteral("1"), QString()));
        faults.clear();
        QCOMPARE(s.kp(), counterBytes(30, "B"));
        QCOMPARE(QDir(s.folder.file(QStringLiteral("Dokumenty"))).entryList({"*.tmp.*"}),
                 QStringList());
        QCOMPARE(takeVoucherNumber(s.ws, DocumentKind::KP).next, 30);
        QCOMPARE(s.kp(), counterBytes(31, "B"));
    }

    // A step waits while another holder has the lock, then reads what that holder left.
    void stepWaitsForTheLockHolder() {
        Station s;
        ensureCounterFile(s.ws, DocumentKind::KP);
        test::WaitProbe probe;
        s.ws.lockWait = &probe;
        std::atomic<int> taken{0};
        int takenWhileHeld = -2;
        std::thread second;
        {
            FileLock first(lockPathFor(counterFile(s.ws, DocumentKind::KP)));
            second = std::thread([&] {
                try {
                    taken = takeVoucherNumber(s.ws, DocumentKind::KP).next;
                } catch (...) {
                    taken = -1;
                }
            });
            // The second holder has found the lock taken and waits.
            QVERIFY(probe.waitUntilWaiting());
            takenWhileHeld = taken.load();
            // The first holder changes the counter while the second waits.
            files::replaceFile(counterFile(s.ws, DocumentKind::KP), counterBytes(70, "W"));
        }
        second.join();
        QCOMPARE(takenWhileHeld, 0);
        QCOMPARE(taken.load(), 70);
        QCOMPARE(s.kp(), counterBytes(71, "W"));
    }

    // Steps from several holders at once never hand out one number twice.
    void concurrentStepsGiveDistinctNumbers() {
        Station s;
        ensureCounterFile(s.ws, DocumentKind::KW);
        constexpr int perThread = 40;
        std::vector<int> numbers[2];
        std::atomic<int> failures{0};
        auto run = [&](std::vector<int>& out) {
            const Workstation ws = s.ws; // each workstation resolves its own paths
            for (int i = 0; i < perThread; ++i) {
                try {
                    out.push_back(takeVoucherNumber(ws, DocumentKind::KW).next);
                } catch (...) {
                    ++failures;
                }
            }
        };
        std::thread a(run, std::ref(numbers[0]));
        std::thread b(run, std::ref(numbers[1]));
        a.join();
        b.join();
        QCOMPARE(failures.load(), 0);
        std::set<int> all(numbers[0].begin(), numbers[0].end());
        all.insert(numbers[1].begin(), numbers[1].end());
        QCOMPARE(int(all.size()), 2 * perThread);
        QCOMPARE(*all.begin(), 1);
        QCOMPARE(*all.rbegin(), 2 * perThread);
        QCOMPARE(readCounter(s.ws, DocumentKind::KW).next, 2 * perThread + 1);
    }
};

KESTRANA_TEST(CounterTest)
#include "CounterTest.moc"
