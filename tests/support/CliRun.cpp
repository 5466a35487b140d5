#include "support/CliRun.h"

#include <QProcess>

namespace kestrana::test {

CliRun runCli(const QString& dir, const QStringList& arguments) {
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(qEnvironmentVariable("KESTRANA_CLI"), arguments);
    CliRun run;
    if (!p.waitForFinished(120000))
        return run;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace kestrana::test
