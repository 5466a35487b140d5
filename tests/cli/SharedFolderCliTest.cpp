#include "station/SmallRecords.h"
#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace kestrana;
using kestrana::test::CliRun;
using kestrana::test::runCli;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Another workstation holding a lock file until it is let go (or the test ends).
class Holder {
public:
    explicit Holder(const QString& lockFile) {
        process_.start(qEnvironmentVariable("HOLDER"), {lockFile});
        // It says when it has the lock: no guessing how long that takes.
        held_ = process_.waitForReadyRead(60000) && process_.readLine().trimmed() == "held";
    }
    ~Holder() { letGo(); }
    bool held() const { return held_; }
    void letGo() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.closeWriteChannel();
        process_.waitForFinished(60000);
    }

private:
    QProcess process_;
    bool held_ = false;
};

} // namespace

// kestrana-cli on a folder other workstations share: bounded waits, generate under the locks,
// and what check reports about files planted or left there.
class SharedFolderCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(!qEnvironmentVariable("KESTRANA_CLI").isEmpty());
        QVERIFY(!qEnvironmentVariable("HOLDER").isEmpty());
    }

    // While another workstation holds the main file's lock, every writing command gives up
    // after --wait seconds with its message and nothing written; once the lock is free they
    // work. generate in particular never appends behind the lock's back.
    void busyMainFileIsWaitedForAndGivenUp() {
        QTemporaryDir dir;
        QCOMPARE(runCli(dir.path(), {"init", "--demo"}).exitCode, 0);
        QCOMPARE(runCli(dir.path(), {"export", "--csv", "in.csv"}).exitCode, 0);
        const QString main = dir.filePath("DANE/spis_ks.dat");
        const QByteArray before = readAll(main);
        const QByteArray counter = readAll(dir.filePath("ADMINI/id_ks.dat"));
        {
            Holder other(dir.filePath("DANE/spis_ks.lck"));
            QVERIFY(other.held());
            const QList<QStringList> commands = {
                {"sort", "--by", "nazwa1", "--wait", "1"},
                {"generate", "--entries", "5", "--wait", "1"},
                {"--wait", "1", "import", "--csv", "in.csv"},
                {"backup", "--wait", "1"},
            };
            for (const QStringList& command : commands) {
                const CliRun run = runCli(dir.path(), command);
                QVERIFY2(run.exitCode == 1, qPrintable(command.join(' ') + ": " + run.errors));
                QVERIFY2(run.errors.contains(QStringLiteral("Nic nie zostało zapisane.")),
                         qPrintable(run.errors));
                QCOMPARE(readAll(main), before);
                QCOMPARE(readAll(dir.filePath("ADMINI/id_ks.dat")), counter);
            }
            QCOMPARE(QDir(dir.filePath("KOPIE")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                     QStringList());
        }
        QCOMPARE(runCli(dir.path(), {"generate", "--entries", "5", "--wait", "1"}).exitCode, 0);
        QCOMPARE(readAll(main).size(), before.size() + 5 * 1678);
        QCOMPARE(runCli(dir.path(), {"sort", "--by", "nazwa1", "--wait", "0"}).exitCode, 0);
        QCOMPARE(runCli(dir.path(), {"sort", "--by", "kod", "--wait", "x"}).exitCode, 2);
    }

    // A new workstation's folder has no Admini: mode makes it.
    void modeInANewWorkstationFolder() {
        QTemporaryDir station;
        QTemporaryDir share;
        QCOMPARE(runCli(share.path(), {"init"}).exitCode, 0);
        const CliRun run = runCli(station.path(), {"mode", "network", share.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(QFileInfo(station.filePath("Admini/siec.dat")).size(), 403);
        QCOMPARE(runCli(station.path(), {"list"}).exitCode, 0);
    }

    // What check says about files that are not what they should be.
    void checkReportsPlantedAndLeftFiles_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("damage");
        QTest::newRow("lock file as a folder") << "lock-dir"
                                               << "KOSZ/5.p: katalog" << true;
        QTest::newRow("main file's companion as a folder") << "lck-dir"
                                                           << "spis_ks.lck: katalog" << true;
        QTest::newRow("lock file as a link") << "lock-link"
                                             << "KOSZ/5.p: dowiązanie" << true;
        QTest::newRow("empty lock file") << "lock-empty"
                                         << "pusty plik blokady" << true;
        QTest::newRow("description as a link") << "description-link"
                                               << "opis_ks_1.dat: dowiązanie" << true;
        QTest::newRow("counter as a link") << "counter-link"
                                           << "id_ks.dat: dowiązanie" << true;
        QTest::newRow("leftover of a killed sort")
            << "leftover"
            << "spis_ks.dat.tmp.komputer.4242: pozostałość przerwanego zapisu "
               "(5034 B)"
            << false;
    }
    void checkReportsPlantedAndLeftFiles() {
        QFETCH(QString, what);
        QFETCH(QString, reported);
        QFETCH(bool, damage);
        QTemporaryDir dir;
        QCOMPARE(runCli(dir.path(), {"init", "--demo"}).exitCode, 0);
        if (what == "lock-dir")
            QVERIFY(QDir(dir.path()).mkpath("KOSZ/5.p"));
        else if (what == "lck-dir")
            QVERIFY(QFile::remove(dir.filePath("DANE/spis_ks.lck")) &&
                    QDir(dir.path()).mkpath("DANE/spis_ks.lck"));
        else if (what == "lock-link")
            QVERIFY(QFile::link(dir.filePath("DANE/spis_ks.dat"), dir.filePath("KOSZ/5.p")));
        else if (what == "lock-empty")
            put(dir.filePath("KOSZ/5.p"), QByteArray());
        else if (what == "description-link")
            QVERIFY(QFile::remove(dir.filePath("OPISY/opis_ks_1.dat")) &&
                    QFile::link("/etc/passwd", dir.filePath("OPISY/opis_ks_1.dat")));
        else if (what == "counter-link") {
            QVERIFY(QFile::rename(dir.filePath("ADMINI/id_ks.dat"), dir.filePath("licznik")));
            QVERIFY(QFile::link(dir.filePath("licznik"), dir.filePath("ADMINI/id_ks.dat")));
        } else if (what == "leftover")
            put(dir.filePath("DANE/spis_ks.dat.tmp.komputer.4242"), QByteArray(3 * 1678, 'x'));
        const CliRun run = runCli(dir.path(), {"check"});
        QVERIFY2(run.out.contains(reported), qPrintable(run.out));
        QCOMPARE(run.exitCode, damage ? 1 : 0);
        QCOMPARE(run.out.contains(QStringLiteral("Nie znaleziono uszkodzeń.")), !damage);
    }

    // A description planted as a link to a file outside is never read into the panel's text.
    void linkedDescriptionIsNotRead() {
        QTemporaryDir dir;
        QCOMPARE(runCli(dir.path(), {"init", "--demo"}).exitCode, 0);
        put(dir.filePath("sekret"), "TAJNE HASLO");
        QVERIFY(QFile::remove(dir.filePath("OPISY/opis_ks_1.dat")));
        QVERIFY(QFile::link(dir.filePath("sekret"), dir.filePath("OPISY/opis_ks_1.dat")));
        const CliRun run = runCli(dir.path(), {"print", "description", "--id", "1", "--trace",
                                               dir.filePath("opis.trace")});
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.errors.contains(QStringLiteral("dowiązaniem symbolicznym")),
                 qPrintable(run.errors));
        QVERIFY(!readAll(dir.filePath("opis.trace")).contains("TAJNE"));
    }
};

KESTRANA_TEST(SharedFolderCliTest)
#include "SharedFolderCliTest.moc"
