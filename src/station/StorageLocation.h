#pragma once

#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <QString>

// Where the data lie: the workstation's Admini/siec.dat under its working directory names the
// base directory (local or network mode). Every window that opens data files decides it again
// through locatedAgain(), as start-up decided it.
namespace kestrana::startup {

// "Kestrana - bazy lokalne", "Kestrana - bazy sieciowe", or empty for any other mode.
QString captionForMode(int tryb);

struct StorageLocation {
    int tryb = 0;
    QString baseDir;
};
// Admini/siec.dat under the working directory, created for local mode when missing, decides
// the base directory. Throws IoError.
StorageLocation locateStorage(const QString& workDir);
// Admini/siec.dat under `workDir`.
QString storageFile(const QString& workDir);

// `ws` with mode and base directory decided again from its working directory's siec.dat:
// another workstation, or the user, may have moved the data since start-up. Throws IoError.
Workstation locatedAgain(const Workstation& ws);

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

} // namespace kestrana::startup
