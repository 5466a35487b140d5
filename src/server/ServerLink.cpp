#include "server/ServerLink.h"

#include "register/FileLock.h"
#include "server/ServerError.h"
#include "station/LockWait.h"

#include <chrono>
#include <optional>

namespace kestrana::server {

ServerLink::ServerLink(QString conninfo)
    : conninfo_(std::move(conninfo)), connection_(std::make_unique<Connection>(conninfo_)) {
    server_ = connection_->server();
}

Connection& ServerLink::connection() {
    if (connection_->broken())
        connection_ = std::make_unique<Connection>(conninfo_);
    return *connection_;
}

void ServerLink::transact(const QString& step, LockWait* wait,
                          const std::function<void(Connection&)>& work) {
    std::optional<DeadlineWait> bounded;
    if (!wait)
        wait = &bounded.emplace(kDefaultLockWait);
    const auto start = std::chrono::steady_clock::now();
    bool waiting = false;
    for (;;) {
        try {
            Connection& c = connection();
            Transaction transaction(c);
            // A short wait per try, so that the workstation's own wait decides how long in all.
            c.exec(step, "SET LOCAL lock_timeout = '100ms'");
            work(c);
            transaction.commit();
            if (waiting)
                wait->ended();
            return;
        } catch (const ServerError& error) {
            if (!error.lockTimedOut()) {
                if (waiting)
                    wait->ended();
                throw;
            }
        } catch (...) {
            if (waiting)
                wait->ended();
            throw;
        }
        waiting = true;
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        if (!wait->keepWaiting(waited)) {
            wait->ended();
            throw LockNotGranted(server_, wait->gaveUpText(waited));
        }
    }
}

} // namespace kestrana::server
