#pragma once

#include "platform/FaultInjector.h"

#include <QByteArrayView>
#include <QString>

// Steps whose effect must outlive a power loss once they return: a change is on the disk, not
// only in the system's cache. Like the rest of the checked file layer they throw IoError with
// the platform's text, never follow a link at the last component, and let a test's
// FaultInjector fail them: a cut and a deletion count as writes of the file.
namespace kestrana::files {

// Creates or empties the file and writes `data`, then flushes the file and its folder to disk.
void writeDurably(const QString& path, QByteArrayView data, FaultInjector* faults = nullptr);
// Deletes the file and flushes its folder to disk; a missing file is not an error.
void removeDurably(const QString& path, FaultInjector* faults = nullptr);
// Flushes the open file `fd` (named `path`) to disk.
void syncDescriptor(int fd, const QString& path, FaultInjector* faults = nullptr);
// Cuts the open file `fd` (named `path`) to `length` bytes and flushes it to disk.
void cutTo(int fd, qint64 length, const QString& path, FaultInjector* faults = nullptr);

} // namespace kestrana::files
