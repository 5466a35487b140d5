#include "cli/FolderCheck.h"

#include "backup/Backup.h"
#include "cash/VoucherFiles.h"
#include "envelope/EnvelopeFiles.h"
#include "print/FontFiles.h"

namespace kestrana {

QList<CheckFinding> checkWholeDataFolder(const Workstation& ws, const QDateTime& now) {
    const RecordFiles backupLock{{}, 0, {}, backup::lockFile(ws)};
    return checkDataFolder(ws, now,
                           fontRecordFiles(ws) + voucherRecordFiles(ws) + envelopeRecordFiles(ws) +
                               QList<RecordFiles>{backupLock});
}

} // namespace kestrana
