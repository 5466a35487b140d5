#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using kestrana::test::CliRun;
using kestrana::test::DataFolder;
using kestrana::test::runCli;

namespace {

// Makes a thing of `kind` at `path`; false when this system or user cannot.
bool makeOdd(const QString& kind, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(name.constData(), 0666) == 0;
    if (kind == QLatin1String("directory"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("device")) // the numbers of /dev/full, made in the test's folder
        return ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

mode_t typeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

// Where kestrana-cli writes: a file it replaces or exports to is refused, before anything is
// written, when something other than a plain file stands there; and output it could not write
// to its standard output makes it fail.
class OutputTargetTest : public QObject {
    Q_OBJECT

private slots:
    void oddTargetsAreRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("command"); // the target is appended
        const QStringList csv = {"export", "--csv"};
        QTest::newRow("CSV over a pipe") << "fifo" << csv;
        QTest::newRow("XLSX over a pipe") << "fifo" << QStringList{"export", "--xlsx"};
        QTest::newRow("PDF over a pipe") << "fifo" << QStringList{"print", "detailed", "--pdf"};
        QTest::newRow("CSV over a folder") << "directory" << csv;
        QTest::newRow("CSV over a socket") << "socket" << csv;
        QTest::newRow("CSV over a device") << "device" << csv;
    }
    void oddTargetsAreRefused() {
        QFETCH(QString, kind);
        QFETCH(QStringList, command);
        DataFolder folder;
        QCOMPARE(runCli(folder.path(), {"init", "--demo"}).exitCode, 0);
        // A printout of the list needs the list built once.
        QCOMPARE(runCli(folder.path(), {"list"}).exitCode, 0);
        const QString target = folder.file("cel");
        if (!makeOdd(kind, target))
            QSKIP("this user cannot make one here");
        const mode_t type = typeOf(target);
        const CliRun run = runCli(folder.path(), command << target);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(target), qPrintable(run.errors));
        QCOMPARE(typeOf(target), type);
        QVERIFY(
            QDir(folder.path()).entryList({"cel.*"}, QDir::AllEntries | QDir::System).isEmpty());
    }

    void unwrittenOutputFails_data() {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("list") << QStringList{"list"};
        QTest::newRow("check") << QStringList{"check"};
        QTest::newRow("version") << QStringList{"--version"};
    }
    void unwrittenOutputFails() {
        QFETCH(QStringList, command);
        if (!QFile::exists("/dev/full"))
            QSKIP("no /dev/full");
        DataFolder folder;
        QCOMPARE(runCli(folder.path(), {"init", "--demo"}).exitCode, 0);
        QProcess p;
        p.setWorkingDirectory(folder.path());
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(qEnvironmentVariable("KESTRANA_CLI"), command);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY(p.exitCode() != 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("standardowe wyjście"));
    }
};

KESTRANA_TEST(OutputTargetTest)
#include "OutputTargetTest.moc"
