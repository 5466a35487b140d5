#pragma once

#include "station/Workstation.h"

#include <QString>

namespace kestrana {

// The lock files that keep two workstations from showing one entry: KOSZ/<id>.p holding the
// 32-bit integer 1. Only the file's existence counts. A running program remembers the lock it
// created last (its own lock) and the lock of the entry it shows.
class EntryLocks {
public:
    explicit EntryLocks(const Workstation& ws) : ws_(ws) {}

    // KOSZ/<id>.p, or empty when the ID is neither empty nor a plain number and so may not name
    // a file.
    QString lockPath(const QString& id) const;

    enum class Outcome {
        Taken,       // this program now holds the entry
        HeldByOther, // another program shows it: show the busy message
        InvalidId,   // the ID may not name a file: nothing was touched
    };

    // What selecting an entry does to the locks: the previous own lock is released, then the
    // entry is checked. Returns HeldByOther when another program holds it.
    Outcome check(const QString& id);
    // After the entry is in the form: creates its lock file. The file is created exclusively,
    // so of two programs that passed the check at the same moment only one gets the entry;
    // the other is told HeldByOther. Re-selecting the entry this program shows rewrites its
    // own file. Throws IoError when the file cannot be created.
    Outcome take(const QString& id);
    // Deletes the own lock file (the confirmed exit).
    void release();

    const QString& ownLock() const { return ownLock_; }
    const QString& shownLock() const { return shownLock_; }
    // True when a lock file for `id` exists that this program did not create.
    bool heldByOther(const QString& id) const;

private:
    const Workstation& ws_;
    QString ownLock_;
    QString shownLock_;
    // Whether the own lock file is still this program's: once it is deleted, another program
    // may create a file of the same name, which must then be respected.
    bool holding_ = false;
};

} // namespace kestrana
