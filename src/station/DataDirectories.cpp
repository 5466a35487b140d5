#include "station/DataDirectories.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

#include <QFile>

namespace kestrana::startup {

const QStringList& dataDirectoryNames() {
    static const QStringList names = {QStringLiteral("DANE"), QStringLiteral("ADMINI"),
                                      QStringLiteral("KOSZ"), QStringLiteral("OPISY"),
                                      QStringLiteral("OBRAZKI")};
    return names;
}

QStringList missingDirectories(const QString& dir, const QStringList& names) {
    QStringList missing;
    for (const QString& name : names) {
        if (!files::isDirectory(resolvePath(dir, name)))
            missing.append(name);
    }
    return missing;
}

QStringList missingDataDirectories(const QString& baseDir) {
    return missingDirectories(baseDir, dataDirectoryNames());
}

void createDataDirectories(const QString& baseDir, const QStringList& names) {
    files::makeDirectory(baseDir);
    for (const QString& name : names) {
        const QString dir = resolvePath(baseDir, name);
        files::makeDirectory(dir);
        if (name.compare(QLatin1String("OBRAZKI"), Qt::CaseInsensitive) != 0)
            continue;
        for (const char* picture : {"ks0.ico", "ks1.ico"}) {
            QFile resource(QStringLiteral(":/kestrana/OBRAZKI/") + QLatin1String(picture));
            if (!resource.open(QIODevice::ReadOnly))
                continue;
            files::replaceFile(dir + QLatin1Char('/') + QLatin1String(picture), resource.readAll());
        }
    }
}

} // namespace kestrana::startup
