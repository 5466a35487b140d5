#include "print/FontFiles.h"

#include "print/FontSettings.h"

namespace kestrana {

QList<RecordFiles> fontRecordFiles(const Workstation& ws) {
    QList<RecordFiles> files;
    for (const QString& font : {ws.listFontFileName, kPrintFontFile})
        files.append({ws.localPath(QStringLiteral("FONT/") + font), FontRecord::Size, {}, {}});
    return files;
}

} // namespace kestrana
