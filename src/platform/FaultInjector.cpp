#include "platform/FaultInjector.h"

#include <algorithm>
#include <cerrno>

namespace kestrana::files {

void FaultInjector::failCall(Call call, int nth, int errorNumber, const QString& pathPart) {
    const std::lock_guard guard(mutex_);
    plans_.append({call, std::max(nth, 1), errorNumber, pathPart});
}

void FaultInjector::failWritesAfter(qint64 bytes, int errorNumber) {
    const std::lock_guard guard(mutex_);
    writeBudget_ = std::max<qint64>(bytes, 0);
    writeError_ = errorNumber;
}

void FaultInjector::clear() {
    const std::lock_guard guard(mutex_);
    plans_.clear();
    seen_.clear();
    writeBudget_ = -1;
}

int FaultInjector::calls(Call call, const QString& pathPart) const {
    const std::lock_guard guard(mutex_);
    return static_cast<int>(std::count_if(seen_.cbegin(), seen_.cend(), [&](const Seen& s) {
        return s.call == call && s.path.contains(pathPart);
    }));
}

void FaultInjector::setObserver(std::function<void(Call, const QString&)> observer) {
    const std::lock_guard guard(mutex_);
    observer_ = std::move(observer);
}

int FaultInjector::before(Call call, const QString& path) {
    std::function<void(Call, const QString&)> observer;
    {
        const std::lock_guard guard(mutex_);
        observer = observer_;
    }
    if (observer)
        observer(call, path);
    const std::lock_guard guard(mutex_);
    seen_.append({call, path});
    for (qsizetype i = 0; i < plans_.size(); ++i) {
        Plan& plan = plans_[i];
        if (plan.call != call || !path.contains(plan.pathPart))
            continue;
        if (--plan.remaining > 0)
            continue;
        const int error = plan.errorNumber;
        plans_.removeAt(i);
        return error;
    }
    return 0;
}

qint64 FaultInjector::writable(qint64 wanted, int& error) const {
    const std::lock_guard guard(mutex_);
    if (writeBudget_ < 0)
        return wanted;
    if (writeBudget_ == 0) {
        error = writeError_;
        return 0;
    }
    return std::min(wanted, writeBudget_);
}

void FaultInjector::wrote(qint64 bytes) {
    const std::lock_guard guard(mutex_);
    if (writeBudget_ >= 0)
        writeBudget_ = std::max<qint64>(writeBudget_ - bytes, 0);
}

bool FaultInjector::hasWriteBudget() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return writeBudget_ >= 0;
}

bool allowed(FaultInjector* faults, Call call, const QString& path) {
    if (!faults)
        return true;
    const int error = faults->before(call, path);
    if (error == 0)
        return true;
    errno = error;
    return false;
}

} // namespace kestrana::files
