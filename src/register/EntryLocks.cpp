#include "register/EntryLocks.h"

#include "platform/CheckedFile.h"
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

EntryLocks::Outcome EntryLocks::check(const QString& id) {
    const QString lock = lockPath(id);
    if (lock != ownLock_ && !ownLock_.isEmpty()) {
        holding_ = false;
        // A failed deletion of the old lock is ignored.
        try {
            files::removeFile(ownLock_);
        } catch (const IoError&) {
        }
    }
    if (lock.isEmpty())
        return Outcome::InvalidId;
    const bool ours = holding_ && lock == shownLock_;
    if (!ours && files::exists(lock))
        return Outcome::HeldByOther;
    return Outcome::Taken;
}

EntryLocks::Outcome EntryLocks::take(const QString& id) {
    const QString lock = lockPath(id);
    if (lock.isEmpty())
        return Outcome::InvalidId;
    const QByteArray one = int32Bytes(1);
    if (holding_ && lock == ownLock_) {
        files::writeFile(lock, one);
    } else if (!files::createExclusive(lock, one)) {
        return Outcome::HeldByOther;
    }
    ownLock_ = lock;
    shownLock_ = lock;
    holding_ = true;
    return Outcome::Taken;
}

void EntryLocks::release() {
    if (ownLock_.isEmpty() || !holding_)
        return;
    holding_ = false;
    try {
        files::removeFile(ownLock_);
    } catch (const IoError&) {
    }
}

bool EntryLocks::heldByOther(const QString& id) const {
    const QString lock = lockPath(id);
    return !lock.isEmpty() && !(holding_ && lock == ownLock_) && files::exists(lock);
}

} // namespace kestrana
