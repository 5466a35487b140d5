#include "platform/Mnemonics.h"

namespace kestrana::mnemonics {

QChar keyOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption.at(i + 1).toLower();
    }
    return {};
}

QString literal(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

QString shown(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text.append(caption.at(i));
    }
    return text;
}

QList<QChar> clashes(const QStringList& captions) {
    QList<QChar> seen;
    QList<QChar> twice;
    for (const QString& caption : captions) {
        const QChar key = keyOf(caption);
        if (key.isNull())
            continue;
        if (seen.contains(key) && !twice.contains(key))
            twice.append(key);
        seen.append(key);
    }
    return twice;
}

} // namespace kestrana::mnemonics
