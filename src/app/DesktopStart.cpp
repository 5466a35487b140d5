#include "app/DesktopStart.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/Prompts.h"
#include "print/DefaultPrintFont.h"
#include "register/DataFolderSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace kestrana {

bool takeDesktopArgument(QStringList& arguments) {
    if (arguments.size() < 2 || arguments.at(1) != desktopArgument())
        return false;
    arguments.removeAt(1);
    return true;
}

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
        files::removeTree(building);
        QStringList passedOver;
        if (templateDir.isEmpty()) {
            installDataFolder(building, false, today);
            writeDefaultPrintFont(building);
        } else {
            files::copyTree(
                templateDir, building, [](const QString&) { return true; }, {}, passedOver);
        }
        // Admini/siec.dat names the folder it was made in (here the temporary one, or wherever
        // a template was made); without it the first start records the folder it runs in.
        files::removeFile(resolvePath(building, QStringLiteral("Admini/siec.dat")));
        if (std::rename(QFile::encodeName(building).constData(),
                        QFile::encodeName(target).constData()) != 0)
            throw IoError(QStringLiteral("Zakładanie folderu danych"), target, errno);
    } catch (const IoError& error) {
        // What is left of the copy is removed; a failure to remove it must not hide the first.
        QDir(building).removeRecursively();
        prompts.error(error.text());
        return std::nullopt;
    }
    return target;
}

} // namespace kestrana
