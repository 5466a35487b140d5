#pragma once

#include "server/PgConnection.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <set>

namespace kestrana::server {

// The key of an entry's lock, one to one with the ID's text as a file register's lock file
// name is: its digits, their number and its sign; the empty ID has one too. Nothing for an ID
// that is not a plain number (the file register does not lock such an ID either).
std::optional<qint64> entryLockKey(QStringView id);

// Entry locks on the server: session-level advisory locks (pg_try_advisory_lock) on the entry's
// lock key, held on a connection of their own. They end with that connection, so a workstation
// that crashes, is killed or loses its network gives its entries back as soon as the server
// sees the connection end; nobody removes a lock by hand. The connection does nothing else, so
// reconnecting or a long read on the working connection never touches the locks.
class EntryLockConnection {
public:
    // Throws ServerError when the server cannot be reached.
    explicit EntryLockConnection(const QString& conninfo);

    // True when this workstation now holds the entry (also when it held it already); false
    // when another one does. Throws ServerError when the connection is lost: every lock of
    // this workstation is gone then.
    bool tryLock(qint64 key);
    void unlock(qint64 key);
    void unlockAll();
    bool holds(qint64 key) const { return held_.count(key) != 0; }

    Connection& connection() { return connection_; }

private:
    Connection connection_;
    std::set<qint64> held_;
};

} // namespace kestrana::server
