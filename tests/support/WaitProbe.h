#pragma once

#include "station/LockWait.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kestrana::test {

// A lock wait that tells a test when a lock was found busy, so the test knows for certain that
// the other side waits (no sleeping, no guessing), and gives up only after `limit`.
class WaitProbe : public LockWait {
public:
    explicit WaitProbe(std::chrono::milliseconds limit = std::chrono::seconds(60))
        : limit_(limit) {}

    bool keepWaiting(std::chrono::milliseconds waited) override {
        {
            const std::lock_guard guard(mutex_);
            waiting_ = true;
        }
        changed_.notify_all();
        return waited < limit_;
    }
    QString gaveUpText(std::chrono::milliseconds) const override {
        return QStringLiteral("probe gave up");
    }
    // Blocks until some lock was found busy; false when that did not happen within `timeout`.
    bool waitUntilWaiting(std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        std::unique_lock guard(mutex_);
        return changed_.wait_for(guard, timeout, [this] { return waiting_; });
    }
    bool hasWaited() const {
        const std::lock_guard guard(mutex_);
        return waiting_;
    }

private:
    std::chrono::milliseconds limit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
};

} // namespace kestrana::test
