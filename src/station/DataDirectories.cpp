#include "station/DataDirectories.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"

#include <QFile>

namespace kestrana::startup {

namespace {

bool sameName(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The contract pictures a new OBRAZKI receives.
void installPictures(const QString& dir) {
    for (const char* picture : {"ks0.ico", "ks1.ico"}) {
        QFile resource(QStringLiteral(":/kestrana/OBRAZKI/") + QLatin1String(picture));
        if (!resource.open(QIODevice::ReadOnly))
            continue;
        files::replaceFile(dir + QLatin1Char('/') + QLatin1String(picture), resource.readAll());
    }
}

// The help text a new POMOC receives, in the code page and with the line ends of the data files.
void installHelp(const QString& dir) {
    QFile resource(QStringLiteral(":/kestrana/POMOC/bazaadresowa.txt"));
    if (!resource.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(resource.readAll());
    files::replaceFile(dir + QStringLiteral("/bazaadresowa.dat"),
                       cp1250::encode(textfile::splitLines(text).join(QStringLiteral("\r\n")) +
                                      QStringLiteral("\r\n")));
}

} // namespace

const QStringList& dataDirectoryNames() {
    static const QStringList names = {QStringLiteral("DANE"), QStringLiteral("ADMINI"),
                                      QStringLiteral("KOSZ"), QStringLiteral("OPISY"),
                                      QStringLiteral("OBRAZKI")};
    return names;
}

const QStringList& functionDirectoryNames() {
    static const QStringList names = {QStringLiteral("DOKUMENTY"), QStringLiteral("POMOC"),
                                      QStringLiteral("Koperty")};
    return names;
}

QString fontDirectoryName() {
    return QStringLiteral("FONT");
}

QString directoryPurpose(const QString& name) {
    if (sameName(name, "DOKUMENTY"))
        return QStringLiteral("dowody KP/KW");
    if (sameName(name, "POMOC"))
        return QStringLiteral("pomoc");
    if (sameName(name, "Koperty"))
        return QStringLiteral("profile kopert");
    if (sameName(name, "FONT"))
        return QStringLiteral("czcionki wydruku i listy");
    return QString();
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
        if (sameName(name, "OBRAZKI"))
            installPictures(dir);
        else if (sameName(name, "POMOC"))
            installHelp(dir);
    }
}

} // namespace kestrana::startup
