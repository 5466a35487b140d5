#include "ServerTestSupport.h"
#include "register/DataFolderSetup.h"
#include "server/PgConnection.h"
#include "server/RegisterExport.h"
#include "server/RegisterImport.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "station/Workstation.h"
#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using namespace kestrana::server;

namespace {

QString demoFolder(const QTemporaryDir& dir) {
    const QString folder = dir.filePath("rejestr");
    installDataFolder(folder, true, QStringLiteral("2026-12-07"));
    return folder;
}

qint64 count(Connection& c, const char* table) {
    return c
        .exec(QStringLiteral("test"),
              QStringLiteral("SELECT count(*) FROM %1").arg(table).toUtf8().constData())
        .int64(0, 0);
}

// Ends the server process of `victim` from another connection, as a failing network would.
void breakConnection(const QString& db, int victim) {
    Connection other(db);
    other.exec(QStringLiteral("test"), "SELECT pg_terminate_backend($1)",
               Params().addInt32(victim));
}

} // namespace

class ImportExportTest : public QObject {
    Q_OBJECT

private slots:
    void onlyAnEmptyRegisterTakesAnImport() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        Connection c(db);
        QVERIFY_THROWS_EXCEPTION(ServerError, importRegister(c, folder)); // no schema yet
        schema::initialize(c);
        const ImportReport report = importRegister(c, folder);
        QCOMPARE(report.entries, 40);
        QCOMPARE(report.descriptions, 8);
        try {
            importRegister(c, folder);
            QFAIL("a second import was taken");
        } catch (const ServerError& e) {
            QCOMPARE(e.kind(), ServerError::Kind::Register);
            QVERIFY(e.text().contains(QStringLiteral("nie jest pusty")));
        }
        QCOMPARE(count(c, "kestrana.entries"), 40);
        QCOMPARE(count(c, "kestrana.descriptions"), 8);
    }

    // A connection that breaks in the middle leaves the server's register as it was.
    void importCutOffLeavesTheRegisterEmpty() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        Workstation ws;
        ws.baseDir = folder;
        generateEntries(ws, 20000, 3);
        Connection c(db);
        schema::initialize(c);
        ImportOptions options;
        options.progress = [&](qint64 entries) {
            if (entries == 8192)
                breakConnection(db, c.backendPid());
        };
        try {
            importRegister(c, folder, options);
            QFAIL("the import went through a broken connection");
        } catch (const ServerError& e) {
            QCOMPARE(e.kind(), ServerError::Kind::ConnectionLost);
            QVERIFY2(e.text().contains(QStringLiteral("wycofana")), qPrintable(e.text()));
        }
        Connection again(db);
        QCOMPARE(count(again, "kestrana.entries"), 0);
        QCOMPARE(count(again, "kestrana.records"), 0);
        QCOMPARE(importRegister(again, folder).entries, 20040);
    }

    // While an import runs, other workstations read the register as it was (empty); their
    // changes wait until it is in.
    void importLetsReadersRead() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        Workstation ws;
        ws.baseDir = folder;
        generateEntries(ws, 10000, 3);
        Connection c(db);
        schema::initialize(c);
        Connection other(db);
        other.exec(QStringLiteral("test"), "SET lock_timeout = '5s'");
        bool checked = false;
        ImportOptions options;
        options.progress = [&](qint64 entries) {
            if (entries != 8192)
                return;
            QCOMPARE(count(other, "kestrana.entries"), 0);
            other.exec(QStringLiteral("test"), "SET lock_timeout = '50ms'");
            try {
                other.exec(QStringLiteral("test"),
                           "INSERT INTO kestrana.records (name, content) VALUES ('company', '')");
                QFAIL("a change went in beside the import");
            } catch (const ServerError& e) {
                QCOMPARE(e.kind(), ServerError::Kind::Refused);
                QVERIFY2(e.text().contains("lock timeout"), qPrintable(e.text()));
            }
            checked = true;
        };
        importRegister(c, folder, options);
        QVERIFY(checked);
        QCOMPARE(count(other, "kestrana.entries"), 10040);
    }

    void exportCutOffIsReported() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        Workstation ws;
        ws.baseDir = folder;
        generateEntries(ws, 20000, 3);
        {
            Connection c(db);
            schema::initialize(c);
            importRegister(c, folder);
        }
        Connection c(db);
        ExportOptions options;
        options.progress = [&](qint64 entries) {
            if (entries == 8192)
                breakConnection(db, c.backendPid());
        };
        try {
            exportRegister(c, dir.filePath("kopia"), options);
            QFAIL("the export went through a broken connection");
        } catch (const ServerError& e) {
            QCOMPARE(e.kind(), ServerError::Kind::ConnectionLost);
        }
    }

    // The command builds the folder aside and renames it into place only when whole.
    void failedExportLeavesNoFolder() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        {
            Connection c(db);
            schema::initialize(c);
            importRegister(c, folder);
            // The descriptions cannot be read: the export fails after the entries are written.
            c.exec(QStringLiteral("test"), "CREATE ROLE reader LOGIN");
            c.exec(QStringLiteral("test"), "GRANT USAGE ON SCHEMA kestrana TO reader");
            c.exec(QStringLiteral("test"), "GRANT SELECT ON kestrana.entries, kestrana.records, "
                                           "kestrana.schema_version TO reader");
        }
        const QString target = dir.filePath("kopia");
        const test::CliRun run =
            test::runCli(dir.path(), {"server", "export", target, "--server", db + " user=reader"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("descriptions"), qPrintable(run.errors));
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot) ==
                QStringList{"rejestr"});
    }

    void exportNeverWritesOverAFolder() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString folder = demoFolder(dir);
        {
            Connection c(db);
            schema::initialize(c);
        }
        const test::CliRun run =
            test::runCli(dir.path(), {"server", "export", folder, "--server", db});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("już istnieje i nie jest pusty"), qPrintable(run.errors));
        QCOMPARE(QFileInfo(folder + "/DANE/spis_ks.dat").size(), 40 * 1678);
    }
};

KESTRANA_TEST(ImportExportTest)
#include "ImportExportTest.moc"
