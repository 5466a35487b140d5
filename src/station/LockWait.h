#pragma once

#include "platform/Prompts.h"

#include <QString>

#include <chrono>
#include <functional>

namespace kestrana {

// What a workstation does while a file lock it needs is held by another one (a long sort, an
// import, a backup of a large folder). The lock asks it, about every tenth of a second, whether
// to go on; no wait goes on without end.
class LockWait {
public:
    virtual ~LockWait() = default;
    // `waited` since the first try. False gives up: the operation ends with nothing written.
    virtual bool keepWaiting(std::chrono::milliseconds waited) = 0;
    // The wait is over, the lock granted or given up.
    virtual void ended() {}
    // What the user is told when the wait was given up after `waited`.
    virtual QString gaveUpText(std::chrono::milliseconds waited) const = 0;
};

// How long a lock is waited for where nobody chose (kestrana-cli without --wait, helper
// programs).
inline constexpr std::chrono::seconds kDefaultLockWait{30};

// Gives up after a fixed time.
class DeadlineWait : public LockWait {
public:
    explicit DeadlineWait(std::chrono::milliseconds limit) : limit_(limit) {}
    bool keepWaiting(std::chrono::milliseconds waited) override { return waited < limit_; }
    QString gaveUpText(std::chrono::milliseconds waited) const override;

private:
    std::chrono::milliseconds limit_;
};

// When a window shows that it waits, and when it asks.
struct LockWaitTimes {
    std::chrono::milliseconds busyAfter{500};
    std::chrono::milliseconds askAfter{10000};
};

// "Dane są chwilowo używane przez inne stanowisko (sortowanie, import lub kopia zapasowa).
// Spróbować ponownie ?"
QString lockWaitQuestion();

// A window's wait: after `busyAfter` it shows that it is busy (`showBusy(true)`), after
// `askAfter` it asks lockWaitQuestion(); Yes waits as long again, No gives up.
class AskingWait : public LockWait {
public:
    AskingWait(Prompts& prompts, std::function<void(bool busy)> showBusy, LockWaitTimes times = {});
    bool keepWaiting(std::chrono::milliseconds waited) override;
    void ended() override;
    QString gaveUpText(std::chrono::milliseconds waited) const override;

private:
    void setBusy(bool busy);

    Prompts& prompts_;
    std::function<void(bool)> showBusy_;
    LockWaitTimes times_;
    bool busy_ = false;
    std::chrono::milliseconds nextQuestion_;
};

} // namespace kestrana
