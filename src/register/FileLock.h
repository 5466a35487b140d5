#pragma once

#include "platform/FaultInjector.h"
#include "platform/IoError.h"

#include <QString>

namespace kestrana {

class LockWait;
struct Workstation;

// An exclusive advisory lock (fcntl, open-file-description kind) on a companion lock file that
// is never renamed or deleted, such as DANE/spis_ks.lck beside the main file. Every change of
// a shared file holds it for its duration, so changes from several workstations (or two
// windows of one process) follow one another.
//
// A lock held by someone else is tried again and again while `wait` lets it (kDefaultLockWait
// without one): it never waits without end. Throws IoError, and LockNotGranted when the wait was
// given up.
class FileLock {
public:
    explicit FileLock(const QString& lockPath, LockWait* wait = nullptr,
                      files::FaultInjector* faults = nullptr);
    // With the workstation's wait and faults.
    FileLock(const Workstation& ws, const QString& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    void acquire(LockWait& wait, files::FaultInjector* faults);

    QString path_;
    int fd_ = -1;
};

// A lock that was not granted because the wait for it was given up: nothing was changed.
class LockNotGranted : public IoError {
public:
    LockNotGranted(const QString& lockPath, const QString& message);
};

// The companion lock file of a data file: the same name with the extension ".lck".
QString lockPathFor(const QString& dataFile);

} // namespace kestrana
