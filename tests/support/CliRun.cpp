#include "support/CliRun.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

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

CliRun runCliServing(const QString& dir, const QStringList& arguments,
                     const QStringList& environment) {
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : environment)
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    p.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    CliRun run;
    p.start(qEnvironmentVariable("KESTRANA_CLI"), arguments);
    if (!p.waitForStarted())
        return run;
    limit.start(120000);
    loop.exec();
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace kestrana::test
