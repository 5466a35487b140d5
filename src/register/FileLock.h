#pragma once

#include <QString>

namespace kestrana {

// An exclusive advisory lock (fcntl, open-file-description kind) on a companion lock file that
// is never renamed or deleted, such as DANE/spis_ks.lck beside the main file. Every change of
// a shared file holds it for its duration, so changes from several workstations (or two
// windows of one process) follow one another. Waits until the lock is free. Throws IoError.
class FileLock {
public:
    explicit FileLock(const QString& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

// The companion lock file of a data file: the same name with the extension ".lck".
QString lockPathFor(const QString& dataFile);

} // namespace kestrana
