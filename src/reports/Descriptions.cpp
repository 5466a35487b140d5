#include "reports/Descriptions.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "register/RegisterServer.h"
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

namespace {

QByteArray fileBytes(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return cp1250::encode(text);
}

} // namespace

void store(const QString& path, const QStringList& lines) {
    files::replaceFile(path, fileBytes(lines));
}

QStringList read(const Workstation& ws, const QString& id) {
    if (!ws.server)
        return read(path(ws, id));
    const std::optional<QByteArray> content = ws.server->description(id);
    return content ? textfile::splitLines(cp1250::decode(*content)) : QStringList();
}

void store(const Workstation& ws, const QString& id, const QStringList& lines) {
    if (!ws.server) {
        store(path(ws, id), lines);
        return;
    }
    ws.server->storeDescription(id, fileBytes(lines));
}

} // namespace kestrana::descriptions
