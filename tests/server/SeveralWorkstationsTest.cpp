#include "ServerTestSupport.h"
#include "register/EntryRecord.h"
#include "server/EntryLockConnection.h"
#include "server/PgConnection.h"
#include "station/ServerMode.h"
#include "support/CliRun.h"
#include "support/StationLog.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Several workstations on one register on the server, each a process of its own.

using namespace kestrana;
using kestrana::test::runCli;

namespace {

const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");

// A workstation folder in server mode on `db`: with the demo companies moved to the server, or
// (without `demo`) on an empty register, which the first start-up gives its first entry.
void serverStation(const QString& station, const QString& db, bool demo) {
    QVERIFY(QDir().mkpath(station));
    QStringList init = {"init"};
    if (demo)
        init << "--demo";
    QList<QStringList> commands = {init, QStringList{"server", "init", "--server", db},
                                   QStringList{"mode", "server", db}};
    if (demo)
        commands.insert(2, QStringList{"server", "import", ".", "--server", db});
    for (const QStringList& command : commands) {
        const test::CliRun run = runCli(station, command);
        QVERIFY2(run.exitCode == 0, qPrintable(command.join(' ') + ": " + run.errors));
    }
}

// The register on the server as files, read through an export.
std::vector<EntryRecord> serverEntries(const QString& station, const QString& copy) {
    const test::CliRun run = runCli(station, {"server", "export", copy});
    if (run.exitCode != 0)
        qWarning("%s", qPrintable(run.errors));
    std::vector<EntryRecord> entries;
    QFile main(copy + "/DANE/spis_ks.dat");
    if (!main.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray bytes = main.readAll();
    for (qsizetype at = 0; at + EntryRecord::Size <= bytes.size(); at += EntryRecord::Size)
        entries.push_back(EntryRecord::fromBytes(bytes.constData() + at));
    return entries;
}

// True while some session holds the advisory lock of entry `id` (the key as the program makes it).
bool entryLockHeld(server::Connection& connection, const QString& id) {
    const qint64 key = *server::entryLockKey(id);
    return connection
               .exec(QStringLiteral("test"),
                     "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND granted "
                     "AND classid::bigint = $1 AND objid::bigint = $2 AND objsubid = 1",
                     server::Params().addInt64(key >> 32).addInt64(key & 0xffffffff))
               .int64(0, 0) > 0;
}

} // namespace

class SeveralWorkstationsTest : public QObject {
    Q_OBJECT

private slots:
    // Two program windows on two workstations: the second is refused the entry the first
    // shows, and a kill -9 of the first frees it with no unlock.
    void killedProgramWindowFreesItsEntry() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString first = dir.filePath("pierwsze");
        const QString second = dir.filePath("drugie");
        serverStation(first, db, true);
        serverStation(second, db, false);
        const QString id = serverEntries(first, dir.filePath("kopia")).at(0).text(Field::id);
        server::Connection probe(db);

        QProcess program;
        program.setWorkingDirectory(first);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(qEnvironmentVariable("KESTRANA_BIN"));
        QVERIFY(program.waitForStarted());
        // The first window shows its first entry once its start-up has locked it.
        QTRY_VERIFY_WITH_TIMEOUT(entryLockHeld(probe, id), 60000);

        test::WindowSession s;
        s.prompts.expectInformation(kBusy);
        s.start(second);
        QCOMPARE(s.field("id"), QString());
        QVERIFY(s.prompts.done());

        program.kill();
        QVERIFY(program.waitForFinished(60000));
        QTRY_VERIFY_WITH_TIMEOUT(!entryLockHeld(probe, id), 20000);
        s.clickLine(0);
        QCOMPARE(s.field("id"), id);
    }

    // Another workstation shows an entry: the window is refused it; when that workstation is
    // killed, the entry is free as soon as the server has ended its session.
    void killedWorkstationFreesItsEntry() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString station = dir.filePath("stanowisko");
        serverStation(station, db, true);

        test::WindowSession s;
        s.start(station);
        QVERIFY(s.window->startupCompleted());
        s.clickLine(1);
        const QString id = s.field("id");
        QVERIFY(!id.isEmpty());
        s.clickLine(0);
        const QString shown = s.field("id");

        // The window's own entry cannot be taken by the other workstation.
        QProcess refused;
        refused.start(qEnvironmentVariable("STORESTATION"), {station, "hold", shown});
        QVERIFY(refused.waitForStarted());
        refused.closeWriteChannel();
        QVERIFY(refused.waitForFinished(60000));
        QCOMPARE(refused.exitCode(), 3);

        QProcess holder;
        holder.start(qEnvironmentVariable("STORESTATION"), {station, "hold", id});
        QVERIFY(holder.waitForReadyRead(60000));
        QCOMPARE(QString::fromUtf8(holder.readLine()).trimmed(), "held " + id);

        s.prompts.expectInformation(kBusy);
        s.clickLine(1);
        QCOMPARE(s.field("id"), QString());
        QVERIFY(s.prompts.done());

        holder.kill();
        QVERIFY(holder.waitForFinished(60000));
        // The server ends the killed workstation's session on its own: wait for the lock on the
        // server's side, bounded, then let it go again.
        server::EntryLockConnection probe(db);
        const qint64 key = *server::entryLockKey(id);
        probe.connection().exec(QStringLiteral("test"), "SET lock_timeout = '20s'");
        probe.connection().exec(QStringLiteral("test"), "SELECT pg_advisory_lock($1)",
                                server::Params().addInt64(key));
        probe.unlockAll();

        s.clickLine(1);
        QCOMPARE(s.field("id"), id);
    }

    // A sort holds the entries against writers only: meanwhile a workstation starts and lists
    // them, and one that would add waits as long as it is told and then gives up, nothing added.
    void readersGoOnDuringASort() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString station = dir.filePath("stanowisko");
        serverStation(station, db, true);
        server::Connection sorting(db);
        {
            server::Transaction sort(sorting);
            sorting.exec(QStringLiteral("test"), "LOCK TABLE kestrana.entries IN EXCLUSIVE MODE");
            const test::CliRun list = runCli(station, {"list", "--wait", "1"});
            QVERIFY2(list.exitCode == 0, qPrintable(list.errors));
            QCOMPARE(list.out.count('\n'), 40);
            const test::CliRun add = runCli(station, {"generate", "--entries", "1", "--wait", "1"});
            QCOMPARE(add.exitCode, 1);
        }
        QCOMPARE(runCli(station, {"list"}).out.count('\n'), 40);
    }

    // Three workstations add, edit, delete and sort at once while kestrana-cli generates
    // entries: every entry is there once, as last edited, and no ID is given twice.
    void severalProcessesOnOneServer() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString station = dir.filePath("stanowisko");
        serverStation(station, db, false);
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const char* name : {"A", "B", "C"}) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(qEnvironmentVariable("STORESTATION"),
                                    {station, "work", name, "50"});
        }
        auto generate = std::make_unique<QProcess>();
        generate->setWorkingDirectory(station);
        generate->start(qEnvironmentVariable("KESTRANA_CLI"), {"generate", "--entries", "30"});
        test::StationLog log;
        for (const auto& p : processes) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            log.read(*p);
        }
        QVERIFY(generate->waitForFinished(120000));
        QVERIFY2(generate->exitCode() == 0, generate->readAllStandardError().constData());

        int generated = 0;
        const QString problem =
            log.check(serverEntries(station, dir.filePath("kopia")), [&](const EntryRecord& r) {
                if (!r.text(Field::numer).startsWith("G-"))
                    return false;
                ++generated;
                return true;
            });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(generated, 30);
        QVERIFY(log.added.size() > 30);
    }
};

KESTRANA_TEST(SeveralWorkstationsTest)
#include "SeveralWorkstationsTest.moc"
