#pragma once

#include <QString>

namespace kestrana::test {

// A PostgreSQL server of the tests' own: initdb into a temporary folder (as the user postgres
// when the tests run as root, since initdb refuses root), started by pg_ctl listening only on a
// Unix socket in that folder. One per test program, started at the first use: start-up takes
// seconds. A watchdog process stops and removes it when the test program ends, also when it
// crashes or is killed, since the watchdog waits for the end of a pipe the program holds.
class PgCluster {
public:
    // The program's cluster, started when first asked for. Check ok() before use.
    static PgCluster& instance();

    bool ok() const { return error_.isEmpty(); }
    // Why the cluster could not be started (initdb's or pg_ctl's output).
    const QString& error() const { return error_; }
    const QString& socketDir() const { return dir_; }

    // A new, empty database for one test; its connection string.
    QString createDatabase();
    // The connection string of database `name` on this cluster.
    QString conninfo(const QString& name) const;

    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

private:
    PgCluster();

    QString dir_;
    QString error_;
    int watchdogInput_ = -1;
    int watchdogPid_ = -1;
    int databases_ = 0;
};

} // namespace kestrana::test
