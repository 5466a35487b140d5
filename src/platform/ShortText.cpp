#include "platform/ShortText.h"

#include <QStringList>

namespace kestrana {

QString shortenedText(const QString& text, int maxLines, int maxChars) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString shown = lines.mid(0, maxLines).join(QLatin1Char('\n'));
    const bool cut = lines.size() > maxLines || shown.size() > maxChars;
    if (!cut)
        return text;
    if (shown.size() > maxChars)
        shown = shown.left(maxChars);
    return shown + QStringLiteral("… (tekst skrócony z %1 znaków)").arg(text.size());
}

} // namespace kestrana
