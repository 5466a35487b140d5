#include "ServerTestSupport.h"
#include "server/EntryLockConnection.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using namespace kestrana;
using namespace kestrana::server;

class EntryLockTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<qint64>("key");
        QTest::addColumn<bool>("lockable");
        QTest::newRow("plain") << "17" << Q_INT64_C(40000000017) << true;
        QTest::newRow("leading zeros") << "0017" << Q_INT64_C(80000000017) << true;
        QTest::newRow("negative") << "-5" << Q_INT64_C(30000000005) << true;
        QTest::newRow("zero") << "0" << Q_INT64_C(20000000000) << true;
        QTest::newRow("ten digits") << "9999999999" << Q_INT64_C(209999999999) << true;
        QTest::newRow("empty") << "" << qint64(0) << true;
        QTest::newRow("letters") << "12a" << qint64(0) << false;
        QTest::newRow("too long") << "12345678901" << qint64(0) << false;
    }

    void keys() {
        QFETCH(QString, id);
        QFETCH(qint64, key);
        QFETCH(bool, lockable);
        const std::optional<qint64> found = entryLockKey(id);
        QCOMPARE(found.has_value(), lockable);
        if (lockable)
            QCOMPARE(*found, key);
    }

    void secondWorkstationIsRefusedUntilTheFirstLetsGo() {
        KESTRANA_NEW_DATABASE(db);
        EntryLockConnection first(db);
        EntryLockConnection second(db);
        QVERIFY(first.tryLock(17));
        QVERIFY(first.tryLock(17)); // showing it again
        QVERIFY(!second.tryLock(17));
        QVERIFY(second.tryLock(18));
        first.unlock(17);
        QVERIFY(second.tryLock(17));
        QVERIFY(!first.tryLock(17));
        second.unlockAll();
        QVERIFY(first.tryLock(17));
        QVERIFY(first.tryLock(18));
    }

    // A workstation whose connection ends gives its entries back without anyone's help.
    void locksEndWithTheConnection() {
        KESTRANA_NEW_DATABASE(db);
        auto first = std::make_unique<EntryLockConnection>(db);
        EntryLockConnection second(db);
        QVERIFY(first->tryLock(5));
        QVERIFY(!second.tryLock(5));
        first.reset();
        // The server ends the first session on its own time: wait for the lock on the server's
        // side, bounded, instead of retrying.
        second.connection().exec(QStringLiteral("test"), "SET lock_timeout = '20s'");
        second.connection().exec(QStringLiteral("test"), "SELECT pg_advisory_lock(5)");
    }
};

KESTRANA_TEST(EntryLockTest)
#include "EntryLockTest.moc"
