#include "register/EntryRecord.h"
#include "support/CliRun.h"
#include "support/StationLog.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace kestrana;

namespace {

// One folder mounted again at `point` through bindfs, which passes record locks on to the
// folder below (in its own name: one workstation per mount). File sizes are not cached, so each
// mount sees what the others wrote as a network share does on opening a file. Unmounted when it
// goes, even while something still uses it.
class Mount {
public:
    Mount(const QString& folder, const QString& point) : point_(point) {
        QDir().mkpath(point);
        QProcess bindfs;
        bindfs.start(QStringLiteral("bindfs"),
                     {"--multithreaded", "--enable-lock-forwarding", "-o",
                      "attr_timeout=0,entry_timeout=0,negative_timeout=0", folder, point});
        mounted_ = bindfs.waitForFinished(60000) && bindfs.exitStatus() == QProcess::NormalExit &&
                   bindfs.exitCode() == 0;
        if (!mounted_)
            error_ = QString::fromUtf8(bindfs.readAllStandardError()).trimmed();
    }
    ~Mount() {
        if (!mounted_)
            return;
        QProcess unmount;
        unmount.start(QStringLiteral("fusermount"), {"-u", "-z", point_});
        unmount.waitForFinished(60000);
    }
    bool mounted() const { return mounted_; }
    const QString& error() const { return error_; }

private:
    QString point_;
    bool mounted_ = false;
    QString error_;
};

std::vector<EntryRecord> entriesOf(const QString& mainFile) {
    QFile f(mainFile);
    std::vector<EntryRecord> records;
    if (!f.open(QIODevice::ReadOnly))
        return records;
    const QByteArray bytes = f.readAll();
    for (qsizetype at = 0; at + EntryRecord::Size <= bytes.size(); at += EntryRecord::Size)
        records.push_back(EntryRecord::fromBytes(bytes.constData() + at));
    return records;
}

} // namespace

// Workstations on separate mounts of one folder, as offices share a folder over the network:
// each mount passes the record locks on, so the workstations keep out of each other's way as
// they do on one machine.
class SeparateMountsTest : public QObject {
    Q_OBJECT

private slots:
    void stationsOnThreeMounts() {
        if (QStandardPaths::findExecutable(QStringLiteral("bindfs")).isEmpty())
            QSKIP("bindfs is not installed (scripts/install-deps installs it)");
        if (!QFile::exists(QStringLiteral("/dev/fuse")))
            QSKIP("no /dev/fuse: FUSE mounts are not possible here");
        QTemporaryDir base;
        const QString share = base.filePath("udzial");
        QVERIFY(QDir().mkpath(share));
        QCOMPARE(test::runCli(share, {"init"}).exitCode, 0);
        QCOMPARE(test::runCli(share, {"list"}).exitCode, 0); // the first start's files
        // Each workstation has its own folder whose Admini/siec.dat names its own mount as the
        // shared folder.
        std::vector<std::unique_ptr<Mount>> mounts;
        QStringList stations;
        for (int i = 1; i <= 3; ++i) {
            const QString point = base.filePath(QStringLiteral("montowanie%1").arg(i));
            mounts.push_back(std::make_unique<Mount>(share, point));
            if (!mounts.back()->mounted())
                QSKIP(qPrintable("FUSE cannot mount here: " + mounts.back()->error()));
            stations << base.filePath(QStringLiteral("stanowisko%1").arg(i));
            QVERIFY(QDir().mkpath(stations.back()));
            QCOMPARE(test::runCli(stations.back(), {"mode", "network", point}).exitCode, 0);
        }
        // A lock taken through one mount holds through the others.
        {
            QProcess holder;
            holder.start(qEnvironmentVariable("HOLDER"),
                         {base.filePath("montowanie1/DANE/spis_ks.lck")});
            QVERIFY(holder.waitForReadyRead(60000));
            QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
            const test::CliRun sort =
                test::runCli(stations[1], {"sort", "--by", "kod", "--wait", "1"});
            QVERIFY2(sort.exitCode == 1, qPrintable(sort.errors));
            QVERIFY2(sort.errors.contains("montowanie2"), qPrintable(sort.errors));
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished(60000));
        }
        std::vector<std::unique_ptr<QProcess>> processes;
        const QStringList names = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(qEnvironmentVariable("STATION"), {stations[i], names[i], "40"});
        }
        test::StationLog log;
        for (const auto& p : processes) {
            QVERIFY(p->waitForFinished(120000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            log.read(*p);
        }
        const QString problem = log.check(entriesOf(share + "/DANE/spis_ks.dat"));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(log.added.size() > 20);
    }
};

KESTRANA_TEST(SeparateMountsTest)
#include "SeparateMountsTest.moc"
