#pragma once

#include <QString>

// The connection string a workstation is switched to (station/ServerMode.h keeps it).
namespace kestrana::server {

// Why a connection string is not taken, or empty when it is: it must be one libpq reads, and
// it must not carry a password (libpq takes that from ~/.pgpass or a service file, so that no
// password lies in Kestrana's files or on a command line).
QString connectionStringProblem(const QString& conninfo);

} // namespace kestrana::server
