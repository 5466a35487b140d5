#include "reports/DescriptionFile.h"

#include "platform/DataPaths.h"
#include "platform/IoError.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>

namespace kestrana {

namespace {

const QString descriptionsDir = QStringLiteral("OPISY");

QString prefixOf(const Workstation& ws) {
    return ws.descriptionPrefix + QLatin1Char('_');
}

} // namespace

std::optional<QString> descriptionFileName(const Workstation& ws, QStringView id) {
    const QString text = id.toString();
    if (!isPlainId(text))
        return std::nullopt;
    return prefixOf(ws) + text + QStringLiteral(".dat");
}

std::optional<QString> descriptionFilePath(const Workstation& ws, QStringView id) {
    const std::optional<QString> name = descriptionFileName(ws, id);
    if (!name)
        return std::nullopt;
    return ws.dataPath(descriptionsDir + QLatin1Char('/') + *name);
}

DescriptionDirectory::DescriptionDirectory(const Workstation& ws)
    : dir_(ws.dataPath(descriptionsDir)), prefix_(prefixOf(ws)) {
    const QByteArray native = QFile::encodeName(dir_);
    DIR* dir = ::opendir(native.constData());
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        throw IoError(QStringLiteral("Odczyt katalogu"), dir_, errno);
    }
    const QString lowerPrefix = prefix_.toLower();
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(dir);
        if (!item)
            break;
        const QString name = QFile::decodeName(item->d_name);
        const QString lower = name.toLower();
        if (!lower.startsWith(lowerPrefix))
            continue;
        names_.insert(name);
        byLowerName_.insert(lower, name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw IoError(QStringLiteral("Odczyt katalogu"), dir_, error);
}

QString DescriptionDirectory::find(QByteArrayView id) const {
    const QString text = QString::fromLatin1(id);
    if (!isPlainId(text))
        return {};
    const QString name = prefix_ + text + QStringLiteral(".dat");
    if (names_.contains(name))
        return dir_ + QLatin1Char('/') + name;
    const auto it = byLowerName_.constFind(name.toLower());
    return it == byLowerName_.cend() ? QString() : dir_ + QLatin1Char('/') + *it;
}

} // namespace kestrana
