#include "reports/Descriptions.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "reports/DescriptionFile.h"

namespace kestrana::descriptions {

QString path(const Workstation& ws, const QString& id) {
    // With no entry shown the panel still has a file, opis_ks_.dat; otherwise the one name rule.
    if (id.isEmpty())
        return ws.dataPath(QStringLiteral("OPISY/") + ws.descriptionPrefix +
                           QStringLiteral("_.dat"));
    return descriptionFilePath(ws, id).value_or(QString());
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
