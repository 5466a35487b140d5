#include "register/Search.h"

#include <algorithm>

namespace kestrana {

int findNextLine(const QStringList& lines, int selected, const QString& text) {
    if (text.isEmpty())
        return -1;
    for (qsizetype i = std::max<qsizetype>(0, qsizetype(selected) + 1); i < lines.size(); ++i) {
        if (lines[i].contains(text, Qt::CaseSensitive))
            return static_cast<int>(i);
    }
    return -1;
}

QString searchNotFoundMessage() {
    return QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków.");
}

} // namespace kestrana
