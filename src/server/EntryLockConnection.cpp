#include "server/EntryLockConnection.h"

#include "platform/DataPaths.h"

namespace kestrana::server {

namespace {

const QString step = QStringLiteral("Blokada wpisu na serwerze");

} // namespace

std::optional<qint64> entryLockKey(QStringView id) {
    if (!isPlainId(id.toString()))
        return std::nullopt;
    return id.toLongLong();
}

EntryLockConnection::EntryLockConnection(const QString& conninfo) : connection_(conninfo) {}

bool EntryLockConnection::tryLock(qint64 key) {
    if (holds(key))
        return true;
    const Result result =
        connection_.exec(step, "SELECT pg_try_advisory_lock($1)", Params().addInt64(key));
    if (!result.boolean(0, 0))
        return false;
    held_.insert(key);
    return true;
}

void EntryLockConnection::unlock(qint64 key) {
    if (!holds(key))
        return;
    held_.erase(key);
    connection_.exec(step, "SELECT pg_advisory_unlock($1)", Params().addInt64(key));
}

void EntryLockConnection::unlockAll() {
    held_.clear();
    connection_.exec(step, "SELECT pg_advisory_unlock_all()");
}

} // namespace kestrana::server
