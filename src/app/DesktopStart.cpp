#include "app/DesktopStart.h"

#include "app/DataFolderSetup.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace kestrana {

namespace {

// Copies the template's tree, directories and files alike.
void copyTree(const QString& from, const QString& to) {
    files::makeDirectory(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString copy = QDir(to).filePath(source.relativeFilePath(path));
        if (it.fileInfo().isDir())
            files::makeDirectory(copy);
        else
            files::writeFile(copy, files::readFile(path));
    }
}

void removeTree(const QString& path) {
    QDir(path).removeRecursively();
}

} // namespace

QString homeDataFolder(const QString& homeDir) {
    return QDir(homeDir).filePath(QStringLiteral("Kestrana"));
}

QString installedTemplate(const QString& programDir) {
    const QString dir = QDir::cleanPath(programDir + QStringLiteral("/../share/kestrana/template"));
    return QFileInfo(dir).isDir() ? dir : QString();
}

std::optional<QString> prepareHomeFolder(Prompts& prompts, const QString& templateDir,
                                         const QString& target, const QString& today) {
    if (QFileInfo(target).isDir())
        return target;
    if (!prompts.question(QStringLiteral("Kestrana"),
                          QStringLiteral("Nie ma jeszcze folderu danych programu.\n"
                                         "Utworzyć nowy, pusty rejestr w folderze „%1”?")
                              .arg(QDir::toNativeSeparators(target))))
        return std::nullopt;
    const QString building =
        target + QStringLiteral(".tmp.%1").arg(QCoreApplication::applicationPid());
    try {
        if (QFileInfo::exists(target))
            throw IoError(QStringLiteral("Zakładanie folderu danych"), target, EEXIST);
        removeTree(building);
        if (templateDir.isEmpty())
            installDataFolder(building, false, today);
        else
            copyTree(templateDir, building);
        if (std::rename(QFile::encodeName(building).constData(),
                        QFile::encodeName(target).constData()) != 0)
            throw IoError(QStringLiteral("Zakładanie folderu danych"), target, errno);
    } catch (const IoError& error) {
        removeTree(building);
        prompts.error(error.text());
        return std::nullopt;
    }
    return target;
}

} // namespace kestrana
