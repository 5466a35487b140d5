#pragma once

#include "platform/CheckedFile.h"
#include "station/Workstation.h"

#include <QString>

#include <optional>

namespace kestrana {

// The lock files that keep two workstations from showing one entry: KOSZ/<id>.p holding the
// 32-bit integer 1. Only the file's existence counts. A running program remembers the lock it
// created last (its own lock) and the lock of the entry it shows.
//
// The own lock file is known by its identity (device, inode, change time) from when it was
// created: a file of that name that is not this one (deleted and created again by someone else,
// or replaced by a link) is never rewritten nor deleted, and counts as another's lock.
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
    // the other is told HeldByOther. Re-selecting the entry this program shows keeps its own
    // file as it is. Throws IoError when the file cannot be created (a file whose content could
    // not be written is removed again first).
    Outcome take(const QString& id);
    // Deletes the own lock file (the confirmed exit).
    void release();

    const QString& ownLock() const { return ownLock_; }
    const QString& shownLock() const { return shownLock_; }
    // True when a lock file for `id` exists that this program did not create.
    bool heldByOther(const QString& id) const;

private:
    // Whether the file at the own lock's name is still the one this program created.
    bool ownFileIsThere() const;
    void removeOwnFile();

    const Workstation& ws_;
    QString ownLock_;
    QString shownLock_;
    // The own lock file as created; empty once it is released or found gone or replaced.
    std::optional<files::FileIdentity> ownFile_;
};

} // namespace kestrana
