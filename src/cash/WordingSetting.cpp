#include "cash/WordingSetting.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

namespace kestrana {

QString wordingSettingFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/odmiana.dat"));
}

bool readWordingSetting(const QString& workDir) {
    const QString path = wordingSettingFile(workDir);
    if (!files::exists(path))
        return false;
    const QByteArray bytes = files::readFile(path);
    return !bytes.isEmpty() && bytes.at(0) == 1;
}

void storeWordingSetting(const QString& workDir, bool full, files::FaultInjector* faults) {
    const char byte = full ? 1 : 0;
    files::replaceFile(wordingSettingFile(workDir), QByteArrayView(&byte, 1), faults);
}

} // namespace kestrana
