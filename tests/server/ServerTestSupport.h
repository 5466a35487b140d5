#pragma once

#include "support/PgCluster.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace kestrana::test {

// A new database on the test program's own cluster; empty when the cluster did not start.
inline QString newDatabase() {
    PgCluster& cluster = PgCluster::instance();
    return cluster.ok() ? cluster.createDatabase() : QString();
}

// A file's bytes, or "(missing)".
inline QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace kestrana::test

// Declares `name` as the connection string of a new database, failing the test without one.
#define KESTRANA_NEW_DATABASE(name)                                                                \
    const QString name = kestrana::test::newDatabase();                                            \
    QVERIFY2(!name.isEmpty(), qPrintable(kestrana::test::PgCluster::instance().error()))
