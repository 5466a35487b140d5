#include "platform/DataPaths.h"

#include <QDir>
#include <QFileInfo>

namespace kestrana {

namespace {

QString matchComponent(const QString& dir, const QString& component) {
    const QString exact = dir + QLatin1Char('/') + component;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return dir + QLatin1Char('/') + entry;
    }
    return exact;
}

} // namespace

QString resolvePath(const QString& base, const QString& subPath) {
    QString path = base;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    QString normalized = subPath;
    normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList components = normalized.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& component : components) {
        if (path == QLatin1String("/"))
            path.clear();
        path = matchComponent(path, component);
    }
    return path;
}

bool isPlainId(const QString& name) {
    if (name.isEmpty() || name.size() > 10)
        return false;
    // The ID counter may be set below zero, so an ID may carry a minus sign.
    const QStringView digits =
        name.startsWith(QLatin1Char('-')) ? QStringView(name).mid(1) : QStringView(name);
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace kestrana
