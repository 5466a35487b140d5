#pragma once

#include <QString>

namespace kestrana {

// A text for a message box or an error line, at most `maxLines` lines of at most `maxChars`
// characters in all: what comes from outside (a server's answer, a list of files) may be any
// length, and a message the user cannot see the end of tells nothing. A cut text ends with a
// note that it was cut.
QString shortenedText(const QString& text, int maxLines = 6, int maxChars = 600);

} // namespace kestrana
