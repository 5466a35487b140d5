#include "server/EntryLockConnection.h"

#include "platform/DataPaths.h"

namespace kestrana::server {

namespace {

const QString step = QStringLiteral("Blokada wpisu na serwerze");

} // namespace

std::optional<qint64> entryLockKey(QStringView id) {
    // The empty ID (an entry never saved) has a lock of its own, as it has a lock file.
    if (id.isEmpty())
        return 0;
    if (!isPlainId(id.toString()))
        return std::nullopt;
    // The number of digits and the sign go into the key beside the value, so that "017" and
    // "17", two lock files in a file register, stay two locks: at most 10 digits give values
    // below 10^10, and (digits * 2 + sign) * 10^10 stays far below 2^63.
    constexpr qint64 kValues = 10'000'000'000;
    const bool negative = id.startsWith(QLatin1Char('-'));
    const QStringView digits = negative ? id.mid(1) : id;
    return (digits.size() * 2 + (negative ? 1 : 0)) * kValues + digits.toLongLong();
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
