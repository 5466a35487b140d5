#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <mutex>

// A test's plan of failures for the checked file layer. It is handed to the file layer like the
// dialogs are handed to the windows (the Workstation carries a pointer to it); the program passes
// none. A planned failure makes the nth call of one kind fail with a chosen errno, optionally
// only on paths that contain a given text; a write budget fails writes once a number of bytes
// has been written, as a disk that fills up does.
namespace kestrana::files {

// KernelCopy: a copy made by the kernel (copy_file_range); a refusal there (EXDEV, ENOSYS,
// EOPNOTSUPP, EINVAL) makes the copy go through a buffer instead.
enum class Call { Open, Read, Write, Seek, Sync, Rename, Close, Lock, KernelCopy };

class FaultInjector {
public:
    // The `nth` call (1 = the next one) of `call`, counted from now on paths containing
    // `pathPart` (any path when empty), fails with `errorNumber`. Several plans may be pending.
    void failCall(Call call, int nth, int errorNumber, const QString& pathPart = {});
    // Writes fail with `errorNumber` once `bytes` more bytes have been written; the write that
    // crosses the limit writes what still fits first.
    void failWritesAfter(qint64 bytes, int errorNumber);
    // Forgets every plan and count.
    void clear();
    // Called with every call the file layer is about to make, before any planned failure: a test
    // acts at a chosen moment of an operation (another workstation taking a lock, say). It may
    // use the file layer itself.
    void setObserver(std::function<void(Call, const QString& path)> observer);
    // Calls of `call` seen so far on paths containing `pathPart`.
    int calls(Call call, const QString& pathPart = {}) const;

    // The file layer's side. Returns 0 when the call may go on, otherwise the errno it fails
    // with.
    int before(Call call, const QString& path);
    // How many of `wanted` bytes the next write may take (wanted when there is no budget); 0
    // with `error` set when the budget is spent.
    qint64 writable(qint64 wanted, int& error) const;
    bool hasWriteBudget() const;
    void wrote(qint64 bytes);

private:
    struct Plan {
        Call call;
        int remaining;
        int errorNumber;
        QString pathPart;
    };
    struct Seen {
        Call call;
        QString path;
    };

    mutable std::mutex mutex_;
    std::function<void(Call, const QString&)> observer_;
    QList<Plan> plans_;
    QList<Seen> seen_;
    qint64 writeBudget_ = -1; // negative: no budget
    int writeError_ = 0;
};

// The checks as the file layer makes them: with no injector every call goes on. A failed check
// leaves errno set to the planned error.
bool allowed(FaultInjector* faults, Call call, const QString& path);

} // namespace kestrana::files
