#include "cash/VoucherFiles.h"

#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "register/FileLock.h"

namespace kestrana {

QList<RecordFiles> voucherRecordFiles(const Workstation& ws) {
    QList<RecordFiles> files;
    for (DocumentKind kind : {DocumentKind::KP, DocumentKind::KW})
        files.append(
            {counterFile(ws, kind), CounterRecord::Size, {}, lockPathFor(counterFile(ws, kind))});
    files.append({kpw::documentsDirectory(ws), kpw::Size, QStringLiteral(".kpw"), {}});
    return files;
}

} // namespace kestrana
