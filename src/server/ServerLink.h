#pragma once

#include "server/PgConnection.h"

#include <QString>

#include <functional>
#include <memory>

namespace kestrana {
class LockWait;
}

namespace kestrana::server {

// A workstation's working connection to the register on the server. A connection that broke
// (the server restarted, the network dropped) failed the action it was used for, with the
// server's rollback; the next action connects again.
class ServerLink {
public:
    // Connects now. Throws ServerError (Unreachable) when the server cannot be reached.
    explicit ServerLink(QString conninfo);

    Connection& connection();
    const QString& conninfo() const { return conninfo_; }
    // Which database on which server, for messages.
    const QString& server() const { return server_; }

    // Runs `work` in one transaction and commits it. A lock another workstation holds (a sort,
    // an import, another's change of the same row) is waited for as `wait` decides
    // (kDefaultLockWait without one): the transaction is rolled back and run again, and when the
    // wait is given up, IoError (LockNotGranted) tells so with nothing changed. `work` must
    // therefore start from scratch each time it is called.
    void transact(const QString& step, LockWait* wait,
                  const std::function<void(Connection& connection)>& work);

private:
    QString conninfo_;
    QString server_;
    std::unique_ptr<Connection> connection_;
};

} // namespace kestrana::server
