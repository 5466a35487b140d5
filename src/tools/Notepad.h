#pragma once

#include <QString>

namespace kestrana::notepad {

// What the opener of the notepad window sets before it opens it.
struct Request {
    QString fileName; // below the base directory, e.g. "\POMOC\bazaadresowa.dat"; empty: none
    QString title;
    int mode = 1; // 1 show (nothing is saved), 2 edit (saved on "Powrót")
};

inline Request helpRequest() {
    return {QStringLiteral("\\POMOC\\bazaadresowa.dat"),
            QStringLiteral("Przewodnik po bazie adresowej."), 1};
}

// Reads the file for the editor (creating it empty when missing); line ends of any kind
// become the editor's.
QString load(const QString& path);
// Writes the editor's text: CR LF between lines, no break added at the end.
void save(const QString& path, const QString& editorText);

} // namespace kestrana::notepad
