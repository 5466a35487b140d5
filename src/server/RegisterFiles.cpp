#include "server/RegisterFiles.h"

#include "platform/DataPaths.h"

namespace kestrana::server {

std::vector<RecordFile> recordFiles(const Workstation& ws) {
    return {
        {QStringLiteral("id_counter"), QStringLiteral("ADMINI/") + ws.idFileName},
        {QStringLiteral("company"), QStringLiteral("ADMINI/firma.dat")},
        {QStringLiteral("category_names"), QStringLiteral("ADMINI/") + ws.categoriesFileName},
        {QStringLiteral("kp_counter"), QStringLiteral("DOKUMENTY/nrkp.dat")},
        {QStringLiteral("kw_counter"), QStringLiteral("DOKUMENTY/nrkw.dat")},
    };
}

QString descriptionFileName(const Workstation& ws, const QString& id) {
    return ws.descriptionPrefix + QLatin1Char('_') + id + QStringLiteral(".dat");
}

std::optional<QString> descriptionIdOf(const Workstation& ws, const QString& fileName) {
    const QString prefix = ws.descriptionPrefix + QLatin1Char('_');
    const QString suffix = QStringLiteral(".dat");
    if (fileName.size() < prefix.size() + suffix.size() ||
        !fileName.startsWith(prefix, Qt::CaseInsensitive) ||
        !fileName.endsWith(suffix, Qt::CaseInsensitive))
        return std::nullopt;
    const QString id = fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    if (!id.isEmpty() && !isPlainId(id))
        return std::nullopt;
    return id;
}

} // namespace kestrana::server
