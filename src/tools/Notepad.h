#pragma once

#include "register/SmallRecords.h"

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

// The network check of a workstation in network mode: whether the shared folder's siec.dat
// can be opened.
struct NetworkState {
    bool networkMode = false;
    bool reachable = true;
    StorageRecord record;
};
NetworkState checkNetwork(const QString& workDir);
// Rewrites the workstation's siec.dat in local mode, both paths kept.
void switchToLocal(const QString& workDir, const StorageRecord& record);

inline QString networkQuestion() {
    return QStringLiteral("Serwer baz danych nie jest dostępny.\n"
                          "Wlącz serwer lub sprawdź połączenia sieci a następnie ponownie "
                          "uruchom program.\n\n"
                          "Czy anulować połączenie sieciowe i przełączyć się w tryb lokalny ?");
}

} // namespace kestrana::notepad
