#pragma once

#include "server/PgConnection.h"

#include <vector>

// The register's tables on the server, in schema "kestrana", and the way from any earlier
// layout to the one this program uses: numbered steps, each run once, all of a change in one
// transaction, the number reached kept in kestrana.schema_version.
namespace kestrana::server::schema {

inline constexpr int kCurrentVersion = 1;

struct Migration {
    int version; // the version the database has after this step
    const char* sql;
};
// The program's steps, from an empty database to kCurrentVersion.
const std::vector<Migration>& migrations();

// The version the database holds: 0 when it has no register yet.
int installedVersion(Connection& connection);

struct InitResult {
    int from = 0;
    int to = 0;
};
// Brings the database to the last step's version in one transaction; two workstations
// initialising at once wait for each other. A database already past the last step is refused
// (ServerError, Register) and left as it is; so is one where a step fails.
InitResult initialize(Connection& connection, const std::vector<Migration>& steps = migrations());

// Throws ServerError (Register) telling what to do unless the database holds the register in
// exactly this program's version.
void requireCurrent(Connection& connection);

// Advisory locks of the program's own (two-number form, so they never meet an entry's lock,
// which is the one-number form on the entry's ID): the first number marks Kestrana.
inline constexpr qint32 kLockClass = 0x4B455354;
enum class RegisterLock : qint32 { Schema = 1, Import = 2 };

} // namespace kestrana::server::schema
