#include "support/PgCluster.h"

#include "server/PgConnection.h"
#include "server/ServerError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrana::test {

namespace {

// Runs as the watchdog: makes and starts the cluster, says "ready" (or why not), waits for the
// end of its standard input, then stops the server and removes the folder.
const char* const watchdogScript = R"sh(
dir=$1 bin=$2
as=()
if [ "$(id -u)" = 0 ]; then chown postgres: "$dir"; as=(runuser -u postgres --); fi
options="-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off"
options="$options -c synchronous_commit=off -c full_page_writes=off"
if "${as[@]}" "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --no-sync -E UTF8 \
        --locale=C.UTF-8 >"$dir/setup.log" 2>&1 &&
   "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "$options" start \
        >>"$dir/setup.log" 2>&1; then
    echo ready
else
    echo failed; cat "$dir/setup.log" "$dir/server.log" 2>/dev/null
fi
exec >/dev/null 2>&1
cat
"${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop
rm -rf "$dir"
)sh";

QString serverBinDir() {
    const QString chosen = qEnvironmentVariable("KESTRANA_PG_BINDIR");
    if (!chosen.isEmpty())
        return chosen;
    // Debian keeps the server programs by major version, outside PATH; the newest wins.
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : versions) {
        const QString bin =
            QStringLiteral("/usr/lib/postgresql/") + version + QStringLiteral("/bin");
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath();
}

QString readAll(int fd) {
    QByteArray text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return QString::fromLocal8Bit(text);
    }
}

} // namespace

PgCluster& PgCluster::instance() {
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster() {
    const QString bin = serverBinDir();
    if (bin.isEmpty()) {
        error_ = QStringLiteral("initdb not found: install the Debian package postgresql "
                                "(scripts/install-deps)");
        return;
    }
    QByteArray templ = QFile::encodeName(QStringLiteral("/tmp/kestrana-pg-XXXXXX"));
    if (!::mkdtemp(templ.data())) {
        error_ = QStringLiteral("mkdtemp failed");
        return;
    }
    dir_ = QFile::decodeName(templ);
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        error_ = QStringLiteral("pipe failed");
        return;
    }
    const QByteArray binBytes = QFile::encodeName(bin);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Its own session: a signal to the test's process group must not stop the clean-up.
        ::setsid();
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::execl("/bin/bash", "bash", "-c", watchdogScript, "watchdog", templ.constData(),
                binBytes.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    ::close(output[1]);
    watchdogInput_ = input[1];
    watchdogPid_ = pid;
    // The watchdog answers when pg_ctl has seen the server accept connections.
    const QString answer = readAll(output[0]);
    ::close(output[0]);
    if (!answer.startsWith(QLatin1String("ready")))
        error_ = QStringLiteral("the test cluster did not start:\n") + answer;
}

PgCluster::~PgCluster() {
    if (watchdogInput_ >= 0)
        ::close(watchdogInput_);
    if (watchdogPid_ > 0) {
        int status = 0;
        while (::waitpid(watchdogPid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

QString PgCluster::conninfo(const QString& name) const {
    return QStringLiteral("host=%1 port=5432 user=postgres dbname=%2").arg(dir_, name);
}

QString PgCluster::createDatabase() {
    const QString name = QStringLiteral("t%1").arg(++databases_);
    server::Connection admin(conninfo(QStringLiteral("postgres")));
    admin.exec(QStringLiteral("CREATE DATABASE"),
               QStringLiteral("CREATE DATABASE %1").arg(name).toUtf8().constData());
    return conninfo(name);
}

} // namespace kestrana::test
