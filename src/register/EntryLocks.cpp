#include "register/EntryLocks.h"

#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "station/SmallRecords.h"

namespace kestrana {

QString EntryLocks::lockPath(const QString& id) const {
    // An empty ID (an entry never saved) names KOSZ/.p; anything but digits names no file.
    if (!id.isEmpty() && !isPlainId(id))
        return QString();
    return ws_.dataPath(QStringLiteral("KOSZ/") + id + QStringLiteral(".p"));
}

bool EntryLocks::ownFileIsThere() const {
    return ownFile_ && files::identityOf(ownLock_) == ownFile_;
}

void EntryLocks::removeOwnFile() {
    // Only the file this program created: another program's lock of the same name stays.
    if (ownFileIsThere()) {
        // A failed deletion of the old lock is ignored.
        try {
            files::removeFile(ownLock_);
        } catch (const IoError&) {
        }
    }
    ownFile_.reset();
}

EntryLocks::Outcome EntryLocks::check(const QString& id) {
    const QString lock = lockPath(id);
    if (lock != ownLock_ && !ownLock_.isEmpty())
        removeOwnFile();
    if (lock.isEmpty())
        return Outcome::InvalidId;
    if (lock == ownLock_ && !ownFileIsThere())
        ownFile_.reset(); // gone or replaced: checked as anyone else's
    const bool ours = ownFile_ && lock == shownLock_;
    if (!ours && files::exists(lock))
        return Outcome::HeldByOther;
    return Outcome::Taken;
}

EntryLocks::Outcome EntryLocks::take(const QString& id) {
    const QString lock = lockPath(id);
    if (lock.isEmpty())
        return Outcome::InvalidId;
    if (!(lock == ownLock_ && ownFileIsThere())) {
        files::FileIdentity created;
        if (!files::createExclusive(lock, int32Bytes(1), ws_.faults, &created))
            return Outcome::HeldByOther;
        ownFile_ = created;
    }
    ownLock_ = lock;
    shownLock_ = lock;
    return Outcome::Taken;
}

void EntryLocks::release() {
    if (ownLock_.isEmpty())
        return;
    removeOwnFile();
}

bool EntryLocks::heldByOther(const QString& id) const {
    const QString lock = lockPath(id);
    return !lock.isEmpty() && !(lock == ownLock_ && ownFileIsThere()) && files::exists(lock);
}

} // namespace kestrana
