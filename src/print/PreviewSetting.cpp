#include "print/PreviewSetting.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

namespace kestrana {

QString previewSettingFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/podglad.dat"));
}

bool readPreviewSetting(const QString& workDir) {
    const QString path = previewSettingFile(workDir);
    if (!files::exists(path))
        return false;
    const QByteArray bytes = files::readFile(path);
    return !bytes.isEmpty() && bytes.at(0) == 1;
}

void storePreviewSetting(const QString& workDir, bool on) {
    const char byte = on ? 1 : 0;
    files::replaceFile(previewSettingFile(workDir), QByteArrayView(&byte, 1));
}

} // namespace kestrana
