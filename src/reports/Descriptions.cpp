#include "reports/Descriptions.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"

namespace kestrana::descriptions {

QString path(const Workstation& ws, const QString& id) {
    if (!id.isEmpty() && !isPlainId(id))
        return QString();
    return ws.dataPath(QStringLiteral("OPISY/") + ws.descriptionPrefix + QLatin1Char('_') + id +
                       QStringLiteral(".dat"));
}

QStringList read(const QString& path) {
    if (!files::exists(path))
        return {};
    return textfile::readLines(path);
}

void store(const QString& path, const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    files::replaceFile(path, cp1250::encode(text));
}

} // namespace kestrana::descriptions
