#include "cash/FixedTexts.h"

#include "platform/CheckedFile.h"
#include "platform/TextFile.h"
#include "station/Workstation.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace kestrana {

QString fixedTextsFile(const Workstation& ws, DocumentKind kind) {
    return ws.dataPath(kindTexts(kind).librarySubPath);
}

QStringList sortedFixedTexts(QStringList texts) {
    QCollator collator(QLocale(QLocale::Polish, QLocale::Poland));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(texts.begin(), texts.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return texts;
}

std::optional<QStringList> pickListTexts(const Workstation& ws, DocumentKind kind) {
    const QString path = fixedTextsFile(ws, kind);
    if (!files::exists(path))
        return std::nullopt;
    return sortedFixedTexts(textfile::readLines(path));
}

} // namespace kestrana
