#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrana;

namespace {

// Two office workers in one group, as numbers only: no entries in /etc/passwd are needed.
constexpr gid_t kOffice = 47000;
constexpr uid_t kUserA = 47001;
constexpr uid_t kUserB = 47002;

struct Access {
    mode_t mode = 0;
    gid_t group = 0;
    bool operator==(const Access&) const = default;
};

// Mode bits and group of every file below `dir`, by path below it.
QMap<QString, Access> accessBelow(const QString& dir) {
    QMap<QString, Access> found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            found.insert(QDir(dir).relativeFilePath(path), {st.st_mode & 07777, st.st_gid});
    }
    return found;
}

// Whether a user outside root's group can run the program at `path`: every folder on the way
// searchable by others, the file executable by them.
bool reachableByOthers(const QString& path) {
    QString at = QFileInfo(path).absoluteFilePath();
    struct stat st {};
    if (::stat(QFile::encodeName(at).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
        return false;
    while (at != QLatin1String("/")) {
        at = QFileInfo(at).absolutePath();
        if (::stat(QFile::encodeName(at).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
    }
    return true;
}

bool setOwnership(const QString& path, bool folder) {
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), 0, kOffice) == 0 &&
           ::chmod(name.constData(), folder ? 02775 : 0664) == 0;
}

} // namespace

// Two users sharing a data folder through their group (a set-gid folder of mode 2775, files
// 0664): whatever the one does, the other can still save, delete, sort and import, and the
// files keep their modes and group.
class TwoUsersTest : public QObject {
    Q_OBJECT

private slots:
    void otherUserKeepsAccess() {
        if (::geteuid() != 0)
            QSKIP("needs root to start the helper programs as two other users");
        const QString cli = qEnvironmentVariable("KESTRANA_CLI");
        const QString editor = qEnvironmentVariable("STEPS");
        QVERIFY(!editor.isEmpty());
        if (!reachableByOthers(cli) || !reachableByOthers(editor))
            QSKIP("the build folder cannot be reached by other users, who run the programs here");
        QTemporaryDir base;
        QVERIFY(QFile::setPermissions(
            base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                             QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
        const QString share = base.filePath("biuro");
        QVERIFY(QDir().mkpath(share));
        QCOMPARE(test::runCli(share, {"init", "--demo"}).exitCode, 0);
        QCOMPARE(test::runCli(share, {"export", "--csv", base.filePath("nowe.csv")}).exitCode, 0);
        QVERIFY(setOwnership(share, true));
        QDirIterator it(share, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QVERIFY(setOwnership(path, it.fileInfo().isDir()));
        }
        QVERIFY(QFile::setPermissions(base.filePath("nowe.csv"),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QMap<QString, Access> before = accessBelow(share);

        const auto run = [&](uid_t user, const QString& program, const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(share);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", base.path());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.remove("XDG_RUNTIME_DIR");
            p.setProcessEnvironment(env);
            p.setChildProcessModifier([user] {
                const gid_t groups[] = {kOffice};
                if (::setgroups(1, groups) != 0 || ::setgid(kOffice) != 0 || ::setuid(user) != 0)
                    ::_exit(111);
                ::umask(002);
            });
            p.start(program, args);
            if (!p.waitForFinished(120000) || p.exitCode() != 0)
                return QStringLiteral("%1 %2 as %3: %4")
                    .arg(program, args.join(' '))
                    .arg(user)
                    .arg(QString::fromUtf8(p.readAllStandardError()));
            return QString();
        };
        const QList<std::pair<QString, QStringList>> steps = {
            {cli, {"sort", "--by", "nazwa1"}},
            {editor, {share, "delete", "3"}},
            {editor, {share, "add", "Nowa A"}},
            {cli, {"import", "--csv", base.filePath("nowe.csv")}},
            {editor, {share, "setid", "500"}},
            {cli, {"generate", "--entries", "3"}},
            {cli, {"backup"}},
            {editor, {share, "show", "5"}},
        };
        for (const auto& [program, args] : steps) {
            const QString problem = run(kUserA, program, args);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        const QList<std::pair<QString, QStringList>> others = {
            {editor, {share, "edit", "5", "Zmiana B", "delete", "6", "add", "Nowa B"}},
            {cli, {"sort", "--by", "kod", "--desc"}},
            {cli, {"import", "--csv", base.filePath("nowe.csv")}},
            {editor, {share, "show", "7", "setid", "900"}},
            {cli, {"backup"}},
        };
        for (const auto& [program, args] : others) {
            const QString problem = run(kUserB, program, args);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        // Files that were there keep their access; new ones follow the folder.
        const QMap<QString, Access> after = accessBelow(share);
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            const Access expected = before.value(it.key(), Access{0664, kOffice});
            QVERIFY2(it.value() == expected, qPrintable(QStringLiteral("%1: mode %2 group %3")
                                                            .arg(it.key())
                                                            .arg(it.value().mode, 0, 8)
                                                            .arg(it.value().group)));
        }
        QVERIFY(after.contains("DANE/spis_ks.lck"));
        QVERIFY(after.contains("ADMINI/id_ks.lck"));
    }
};

KESTRANA_TEST(TwoUsersTest)
#include "TwoUsersTest.moc"
