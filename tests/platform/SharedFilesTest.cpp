#include "platform/CheckedFile.h"
#include "platform/FaultInjector.h"
#include "platform/FileTree.h"
#include "platform/TextFile.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrana;

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// A process number that no process has any more.
qint64 finishedProcess() {
    QProcess p;
    p.start(QStringLiteral("true"), {});
    p.waitForFinished();
    return p.processId() > 0 ? p.processId() : 999999;
}

class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

using Operation = std::function<void(const QString& path)>;

} // namespace

Q_DECLARE_METATYPE(Operation)

// The file layer in a folder everyone in an office can write to: links planted where data files
// belong, modes and groups shared through a set-gid folder, leftovers of killed programs, and
// failures a test chooses.
class SharedFilesTest : public QObject {
    Q_OBJECT

private slots:
    // A link at the last path component is never followed, for reading or writing; its target
    // stays as it was and the error names the link.
    void linksAreNeverFollowed_data() {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("readFile") << Operation([](const QString& p) { files::readFile(p); });
        QTest::newRow("readRecord")
            << Operation([](const QString& p) { files::readRecord(p, 0, 4); });
        QTest::newRow("size") << Operation([](const QString& p) { files::size(p); });
        QTest::newRow("writeFile")
            << Operation([](const QString& p) { files::writeFile(p, QByteArray(4, '\1')); });
        QTest::newRow("appendRecord")
            << Operation([](const QString& p) { files::appendRecord(p, QByteArray(4, '\1')); });
        QTest::newRow("writeRecordAt")
            << Operation([](const QString& p) { files::writeRecordAt(p, 0, QByteArray(4, '\1')); });
        QTest::newRow("replaceFile")
            << Operation([](const QString& p) { files::replaceFile(p, "nowy"); });
        QTest::newRow("reader") << Operation(
            [](const QString& p) { files::RecordReader reader(p, 4); });
        QTest::newRow("text lines") << Operation([](const QString& p) { textfile::readLines(p); });
        QTest::newRow("copy") << Operation(
            [](const QString& p) { files::copyFile(p, p + QStringLiteral(".kopia")); });
    }
    void linksAreNeverFollowed() {
        QFETCH(Operation, operation);
        QTemporaryDir dir;
        const QString target = dir.filePath("spis_ks.dat");
        const QString link = dir.filePath("1.p");
        put(target, "the register's own data");
        QVERIFY(QFile::link(target, link));
        try {
            operation(link);
            QFAIL("the link was followed");
        } catch (const IoError& e) {
            QCOMPARE(e.errorNumber(), ELOOP);
            QVERIFY2(e.text().contains(QStringLiteral("dowiązaniem symbolicznym")),
                     qPrintable(e.text()));
        }
        QCOMPARE(get(target), QByteArray("the register's own data"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 2);
    }

    // Exclusive creation takes a link (even one whose target is missing) for an existing file.
    void exclusiveCreationNeverGoesThroughALink() {
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath("missing"), dir.filePath("17.p")));
        QVERIFY(!files::createExclusive(dir.filePath("17.p"), QByteArray(4, '\1')));
        QVERIFY(!QFile::exists(dir.filePath("missing")));
    }

    // A pipe where a data file belongs is refused at once, never waited on.
    void pipeIsRefusedWithoutWaiting() {
        QTemporaryDir dir;
        const QString path = dir.filePath("opis_ks_1.dat");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
        QVERIFY_THROWS_EXCEPTION(IoError, files::readFile(path));
        QVERIFY_THROWS_EXCEPTION(IoError, files::writeFile(path, "x"));
    }

    // A lock file whose content cannot be written is removed again: it would refuse its entry to
    // everyone.
    void failedExclusiveContentLeavesNoFile_data() {
        QTest::addColumn<int>("call");
        QTest::newRow("disk full") << static_cast<int>(files::Call::Write);
        QTest::newRow("close") << static_cast<int>(files::Call::Close);
    }
    void failedExclusiveContentLeavesNoFile() {
        QFETCH(int, call);
        QTemporaryDir dir;
        const QString path = dir.filePath("5.p");
        files::FaultInjector faults;
        if (call == static_cast<int>(files::Call::Write))
            faults.failWritesAfter(0, ENOSPC);
        else
            faults.failCall(files::Call::Close, 1, EIO);
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 files::createExclusive(path, QByteArray(4, '\1'), &faults));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(files::createExclusive(path, QByteArray(4, '\1')));
    }

    // New files are created 0666 so that the umask decides; a replaced file keeps its mode and
    // group, whatever the umask of the one who replaced it.
    void modesAndGroups() {
        QTemporaryDir dir;
        const QString fresh = dir.filePath("nowy.dat");
        {
            const Umask shared(002);
            files::writeFile(fresh, "a");
            files::makeDirectory(dir.filePath("KATALOG"));
        }
        QCOMPARE(modeOf(fresh), mode_t(0664));
        QCOMPARE(modeOf(dir.filePath("KATALOG")), mode_t(0775));
        {
            const Umask privateFiles(077);
            files::replaceFile(dir.filePath("drugi.dat"), "b");
        }
        QCOMPARE(modeOf(dir.filePath("drugi.dat")), mode_t(0600));

        const QString kept = dir.filePath("spis_ks.dat");
        put(kept, "old");
        QCOMPARE(::chmod(QFile::encodeName(kept).constData(), 0660), 0);
        const bool root = ::geteuid() == 0;
        const gid_t group = root ? 4242 : ::getegid();
        if (root)
            QCOMPARE(::chown(QFile::encodeName(kept).constData(), static_cast<uid_t>(-1), group),
                     0);
        {
            const Umask strict(077);
            files::replaceFile(kept, "new");
        }
        QCOMPARE(get(kept), QByteArray("new"));
        QCOMPARE(modeOf(kept), mode_t(0660));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(kept).constData(), &st), 0);
        QCOMPARE(st.st_gid, group);
    }

    // Temporary files carry the host and the process; a rewrite removes those of its target
    // that processes of this host left when they were killed, and nothing else.
    void leftoversOfKilledProcessesGo() {
        QTemporaryDir dir;
        const QString path = dir.filePath("spis_ks.dat");
        const QString mine = files::temporaryPathFor(path);
        QVERIFY(mine.endsWith(QStringLiteral(".%1").arg(::getpid())));
        QVERIFY(files::isTemporaryName(QFileInfo(mine).fileName()));
        QVERIFY(files::isTemporaryName("spis_ks.dat.tmp.4242")); // as earlier versions named them
        QVERIFY(!files::isTemporaryName("plan.tmp.docx"));
        const QString prefix = mine.left(mine.lastIndexOf('.') + 1);
        const QString dead = prefix + QString::number(finishedProcess());
        const QString alive = prefix + QString::number(::getppid());
        const QString otherHost =
            path + QStringLiteral(".tmp.innykomputer.") + QString::number(finishedProcess());
        const QString otherFile =
            dir.filePath("sp_ks.dat") + dead.mid(dead.indexOf(QStringLiteral(".tmp.")));
        for (const QString& leftover : {dead, alive, otherHost, otherFile})
            put(leftover, QByteArray(1000, 'x'));
        files::replaceFile(path, "whole");
        QVERIFY(!QFileInfo::exists(dead));
        QVERIFY(QFileInfo::exists(alive));
        QVERIFY(QFileInfo::exists(otherHost));
        QVERIFY(QFileInfo::exists(otherFile));
        QCOMPARE(get(path), QByteArray("whole"));
    }

    // Each kind of call can be made to fail, the nth of its kind, with the errno chosen.
    void chosenCallsFail_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::newRow("open") << static_cast<int>(files::Call::Open) << 1;
        QTest::newRow("second read") << static_cast<int>(files::Call::Read) << 2;
        QTest::newRow("write") << static_cast<int>(files::Call::Write) << 1;
        QTest::newRow("seek") << static_cast<int>(files::Call::Seek) << 1;
        QTest::newRow("fsync") << static_cast<int>(files::Call::Sync) << 1;
        QTest::newRow("rename") << static_cast<int>(files::Call::Rename) << 1;
        QTest::newRow("close") << static_cast<int>(files::Call::Close) << 1;
    }
    void chosenCallsFail() {
        QFETCH(int, call);
        QFETCH(int, nth);
        QTemporaryDir dir;
        const QString path = dir.filePath("id_ks.dat");
        put(path, QByteArray("\2\0\0\0", 4));
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), nth, EACCES, QStringLiteral("id_ks"));
        const auto step = [&] {
            // What a counter step does: read the record, replace the file.
            const QByteArray old = files::readRecord(path, 0, 4, &faults);
            files::replaceFile(path, QByteArray("\3\0\0\0", 4), &faults);
            return old;
        };
        if (nth == 2) {
            QCOMPARE(step(), QByteArray("\2\0\0\0", 4)); // the first read goes through
            put(path, QByteArray("\2\0\0\0", 4));
        }
        try {
            step();
            QFAIL("nothing failed");
        } catch (const IoError& e) {
            QCOMPARE(e.errorNumber(), EACCES);
            QVERIFY(e.path().contains(QStringLiteral("id_ks")));
        }
        QCOMPARE(get(path), QByteArray("\2\0\0\0", 4));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"id_ks.dat"});
        // A plan is used once: the next step goes through.
        step();
        QCOMPARE(get(path), QByteArray("\3\0\0\0", 4));
        QVERIFY(faults.calls(static_cast<files::Call>(call), QStringLiteral("id_ks")) > 0);
    }
};

KESTRANA_TEST(SharedFilesTest)
#include "SharedFilesTest.moc"
