#pragma once

#include "platform/FaultInjector.h"
#include "station/SmallRecords.h"

#include <QString>

#include <memory>

namespace kestrana {

class LockWait;
class RegisterServer; // register/RegisterServer.h

// What start-up fixes for the whole run, handed to every window and operation that needs it.
struct Workstation {
    QString workDir; // the process's working directory at start
    QString baseDir; // where the data folders lie (local or network)
    int tryb = 0;    // storage mode read from siec.dat (1 local, 2 network, else neither)
    bool boss = false;
    QString today; // YYYY-MM-DD, fixed at start-up
    CompanyRecord firma;
    // How a wait for a lock another workstation holds ends (none: after kDefaultLockWait).
    LockWait* lockWait = nullptr;
    // A test's planned failures of file operations; none in the program.
    files::FaultInjector* faults = nullptr;
    // Server mode: the register on the database server, opened by start-up; every copy of the
    // workstation keeps its connection open. Empty in local and network mode, where the
    // register is the files below the base directory.
    std::shared_ptr<RegisterServer> server;

    // File names of this register.
    QString mainFileName = QStringLiteral("spis_ks.dat");
    QString listFileName = QStringLiteral("sp_ks.dat");
    QString idFileName = QStringLiteral("id_ks.dat");
    QString descriptionPrefix = QStringLiteral("opis_ks");
    QString categoriesFileName = QStringLiteral("kategorie_ks.dat");
    QString listFontFileName = QStringLiteral("fonty_ks_2007.dat");

    // A path below the base directory, matched without regard to letter case.
    QString dataPath(const QString& subPath) const;
    // A path below the working directory (font settings, siec.dat).
    QString localPath(const QString& subPath) const;

    QString mainFile() const { return dataPath(QStringLiteral("DANE/") + mainFileName); }
    QString listFile() const { return dataPath(QStringLiteral("DANE/") + listFileName); }
    QString scratchFile() const { return dataPath(QStringLiteral("DANE/spis.bak")); }
    QString idFile() const { return dataPath(QStringLiteral("ADMINI/") + idFileName); }
    QString categoriesFile() const {
        return dataPath(QStringLiteral("ADMINI/") + categoriesFileName);
    }
    QString firmaFile() const { return dataPath(QStringLiteral("ADMINI/firma.dat")); }
};

} // namespace kestrana
