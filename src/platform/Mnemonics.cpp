#include "platform/Mnemonics.h"

namespace kestrana::mnemonics {

namespace {

bool usable(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Where the mnemonic letter of `caption` would go when it gets `at` as its mnemonic.
QString marked(const QString& caption, qsizetype at) {
    QString text = caption;
    text.insert(at, QLatin1Char('&'));
    return text;
}

} // namespace

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

QStringList assign(const QStringList& captions, const QList<QChar>& taken) {
    QList<QChar> used;
    for (const QChar c : taken)
        used.append(c.toLower());
    for (const QString& caption : captions) {
        if (const QChar key = keyOf(caption); !key.isNull())
            used.append(key);
    }
    QStringList result;
    for (const QString& caption : captions) {
        if (!keyOf(caption).isNull()) {
            result.append(caption);
            continue;
        }
        qsizetype chosen = -1;
        // Word starts first, then any letter.
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (qsizetype i = 0; i < caption.size(); ++i) {
                const QChar c = caption.at(i);
                const bool wordStart = i == 0 || !caption.at(i - 1).isLetterOrNumber();
                if (usable(c) && (pass == 1 || wordStart) && !used.contains(c.toLower())) {
                    chosen = i;
                    break;
                }
            }
        }
        if (chosen < 0) {
            result.append(caption);
            continue;
        }
        used.append(caption.at(chosen).toLower());
        result.append(marked(caption, chosen));
    }
    return result;
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
