#include "station/Workstation.h"

#include "platform/DataPaths.h"

namespace kestrana {

QString Workstation::dataPath(const QString& subPath) const {
    return resolvePath(baseDir, subPath);
}

QString Workstation::localPath(const QString& subPath) const {
    return resolvePath(workDir, subPath);
}

} // namespace kestrana
