#include "print/DefaultPrintFont.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace kestrana {

const QStringList& preferredPrintFaces() {
    static const QStringList faces = {QStringLiteral("Liberation Sans"),
                                      QStringLiteral("DejaVu Sans")};
    return faces;
}

QString defaultPrintFace(const QStringList& installedFamilies, const QString& generalFace) {
    for (const QString& face : preferredPrintFaces()) {
        if (installedFamilies.contains(face, Qt::CaseInsensitive))
            return face;
    }
    return generalFace.isEmpty() ? preferredPrintFaces().front() : generalFace;
}

FontRecord defaultPrintFont() {
    FontRecord record;
    record.size = kDefaultPrintPoints;
    // The font database needs a running GUI application; both programs have one.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        record.setFaceName(
            defaultPrintFace(QFontDatabase::families(),
                             QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()));
    else
        record.setFaceName(preferredPrintFaces().front());
    return record;
}

bool writeDefaultPrintFont(const QString& workDir) {
    if (!files::isDirectory(resolvePath(workDir, QStringLiteral("FONT"))))
        return false;
    const QString path = resolvePath(workDir, QStringLiteral("FONT/") + kPrintFontFile);
    if (files::exists(path))
        return false;
    files::replaceFile(path, defaultPrintFont().toBytes());
    return true;
}

} // namespace kestrana
