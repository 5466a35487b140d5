#include "platform/TextFile.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"

namespace kestrana::textfile {

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList readLines(const QString& path, files::FaultInjector* faults) {
    return splitLines(cp1250::decode(files::readFile(path, faults)));
}

void writeLines(const QString& path, const QStringList& lines, bool finalBreak,
                files::FaultInjector* faults) {
    QString text = lines.join(QStringLiteral("\r\n"));
    if (finalBreak && !lines.isEmpty())
        text += QStringLiteral("\r\n");
    files::writeFile(path, cp1250::encode(text), faults);
}

} // namespace kestrana::textfile
