#include "server/Schema.h"
#include "ServerTestSupport.h"
#include "register/EntryRecord.h"
#include "server/PgConnection.h"
#include "server/ServerError.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using namespace kestrana::server;

namespace {

bool tableExists(Connection& c, const char* name) {
    return c
        .exec(QStringLiteral("test"), "SELECT to_regclass($1) IS NOT NULL",
              Params().addText(QString::fromLatin1(name)))
        .boolean(0, 0);
}

QString registerRefusal(Connection& c) {
    try {
        schema::requireCurrent(c);
    } catch (const ServerError& e) {
        return e.kind() == ServerError::Kind::Register ? e.platformText() : QStringLiteral("?");
    }
    return QString();
}

const char* const addNote = "ALTER TABLE kestrana.records ADD COLUMN note text;";

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT

private slots:
    void initCreatesTheRegisterOnce() {
        KESTRANA_NEW_DATABASE(db);
        Connection c(db);
        QCOMPARE(schema::installedVersion(c), 0);
        QVERIFY(registerRefusal(c).contains(QStringLiteral("kestrana-cli server init")));

        const schema::InitResult first = schema::initialize(c);
        QCOMPARE(first.from, 0);
        QCOMPARE(first.to, schema::kCurrentVersion);
        QCOMPARE(registerRefusal(c), QString());
        for (const char* table : {"kestrana.entries", "kestrana.records", "kestrana.descriptions"})
            QVERIFY2(tableExists(c, table), table);

        const schema::InitResult again = schema::initialize(c);
        QCOMPARE(again.from, schema::kCurrentVersion);
        QCOMPARE(again.to, schema::kCurrentVersion);
    }

    // A later program adds a step; this program then meets a newer register and must leave it
    // alone.
    void laterStepsRunInOrderAndANewerRegisterIsRefused() {
        KESTRANA_NEW_DATABASE(db);
        Connection c(db);
        schema::initialize(c);
        std::vector<schema::Migration> steps = schema::migrations();
        steps.push_back({schema::kCurrentVersion + 1, addNote});
        const schema::InitResult up = schema::initialize(c, steps);
        QCOMPARE(up.from, schema::kCurrentVersion);
        QCOMPARE(up.to, schema::kCurrentVersion + 1);
        c.exec(QStringLiteral("test"), "SELECT note FROM kestrana.records");

        QVERIFY(registerRefusal(c).contains(QStringLiteral("nowszy układ")));
        QVERIFY_THROWS_EXCEPTION(ServerError, schema::initialize(c));
        QCOMPARE(schema::installedVersion(c), schema::kCurrentVersion + 1);
    }

    void aFailingStepLeavesTheDatabaseAsItWas_data() {
        QTest::addColumn<bool>("fromEmpty");
        QTest::newRow("empty database") << true;
        QTest::newRow("current register") << false;
    }

    void aFailingStepLeavesTheDatabaseAsItWas() {
        QFETCH(bool, fromEmpty);
        KESTRANA_NEW_DATABASE(db);
        Connection c(db);
        if (!fromEmpty)
            schema::initialize(c);
        std::vector<schema::Migration> steps = schema::migrations();
        steps.push_back({schema::kCurrentVersion + 1,
                         "CREATE TABLE kestrana.extra (n integer); SELECT 1 / 0;"});
        QVERIFY_THROWS_EXCEPTION(ServerError, schema::initialize(c, steps));
        QCOMPARE(schema::installedVersion(c), fromEmpty ? 0 : schema::kCurrentVersion);
        QVERIFY(!tableExists(c, "kestrana.extra"));
        QCOMPARE(tableExists(c, "kestrana.entries"), !fromEmpty);
    }

    // entry_id, which finds an entry and names its description, reads the record's ID field as
    // the program does: the length byte, capped at the field's 10 characters.
    void entryIdIsTheRecordsIdField_data() {
        QTest::addColumn<QByteArray>("idField");
        QTest::addColumn<QString>("entryId");
        QTest::newRow("plain") << QByteArray("\x02"
                                             "17")
                               << QStringLiteral("17");
        QTest::newRow("empty") << QByteArray("\x00", 1) << QString();
        QTest::newRow("bytes after the length do not count") << QByteArray("\x01"
                                                                           "99")
                                                             << QStringLiteral("9");
        QTest::newRow("length above the width") << QByteArray("\xc8"
                                                              "12345678901")
                                                << QStringLiteral("1234567890");
        QTest::newRow("Polish letter") << QByteArray("\x02\xb9"
                                                     "a")
                                       << QStringLiteral("\\271a");
    }

    void entryIdIsTheRecordsIdField() {
        QFETCH(QByteArray, idField);
        QFETCH(QString, entryId);
        KESTRANA_NEW_DATABASE(db);
        Connection c(db);
        schema::initialize(c);
        EntryRecord record;
        std::copy(idField.cbegin(), idField.cend(), record.data());
        const Result row = c.exec(QStringLiteral("test"),
                                  "INSERT INTO kestrana.entries (ord, record) VALUES (1, $1) "
                                  "RETURNING entry_id",
                                  Params().addBytes(record.toByteArray()));
        QCOMPARE(row.text(0, 0), entryId);
    }
};

KESTRANA_TEST(SchemaTest)
#include "SchemaTest.moc"
