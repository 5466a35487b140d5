#include "tools/Notepad.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"

namespace kestrana::notepad {

QString load(const QString& path) {
    if (!files::exists(path))
        files::writeFile(path, QByteArray());
    QString text = cp1250::decode(files::readFile(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void save(const QString& path, const QString& editorText) {
    QString text = editorText;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    files::replaceFile(path, cp1250::encode(text));
}

} // namespace kestrana::notepad
