#include "cli/FolderCheck.h"

#include "cash/VoucherFiles.h"
#include "envelope/EnvelopeFiles.h"
#include "print/FontFiles.h"

namespace kestrana {

QList<CheckFinding> checkWholeDataFolder(const Workstation& ws, const QDateTime& now) {
    return checkDataFolder(ws, now,
                           fontRecordFiles(ws) + voucherRecordFiles(ws) + envelopeRecordFiles(ws));
}

} // namespace kestrana
