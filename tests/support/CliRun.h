#pragma once

#include <QString>
#include <QStringList>

namespace kestrana::test {

// One run of kestrana-cli (the program CTest names in KESTRANA_CLI).
struct CliRun {
    int exitCode = -1; // -1: it did not finish within two minutes
    QString out;       // standard output as printed
    QString errors;    // standard error
};

CliRun runCli(const QString& dir, const QStringList& arguments);

// The same while this process's event loop runs (a server of the test answers meanwhile), with
// extra environment variables ("NAME=value").
CliRun runCliServing(const QString& dir, const QStringList& arguments,
                     const QStringList& environment = {});

} // namespace kestrana::test
