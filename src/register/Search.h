#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

// The next list line after `selected` (-1: none selected) that contains `text` exactly (same
// characters, same letter case), or -1. The search never wraps around to the lines above, and
// an empty text matches nothing.
int findNextLine(const QStringList& lines, int selected, const QString& text);

// Shown when no line further down matches; the search field is emptied afterwards.
QString searchNotFoundMessage();

} // namespace kestrana
