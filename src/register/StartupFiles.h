#pragma once

#include "print/CategoryNames.h"
#include "register/Workstation.h"

#include <QString>
#include <QStringList>

// The file side of start-up, shared by the program and kestrana-cli.
namespace kestrana::startup {

// The boss level needs a 10-character argument 2 whose 10th character is this letter.
inline constexpr char16_t kBossMarker = u'k';
bool isBossToken(const QString& token);
// `arguments` as the process got them, the program name first.
bool bossLevel(const QStringList& arguments);

// "Kestrana - bazy lokalne", "Kestrana - bazy sieciowe", or empty for any other mode.
QString captionForMode(int tryb);

struct StorageLocation {
    int tryb = 0;
    QString baseDir;
};
// Admini/siec.dat under the working directory, created for local mode when missing, decides
// the base directory. Throws IoError.
StorageLocation locateStorage(const QString& workDir);

// The data directories that must exist below the base directory.
const QStringList& dataDirectoryNames();
QStringList missingDataDirectories(const QString& baseDir);
// Creates them; a new OBRAZKI receives the two contract pictures.
void createDataDirectories(const QString& baseDir, const QStringList& names);

// Each creates its file with defaults when missing.
CompanyRecord prepareCompanyFile(const Workstation& ws);
void prepareIdCounter(const Workstation& ws);
CategoryNames prepareCategoryNames(const Workstation& ws);
void prepareMainFile(const Workstation& ws);
// The workstation's print font (FONT/ under the working directory) with the default face and
// size when the file is missing, so that a new workstation prints legibly.
void preparePrintFont(const QString& workDir);

// Locates the storage and prepares every file, as start-up does, without asking anything. A
// file another workstation is creating at the same moment is waited for as `wait` decides; the
// workstation keeps `wait` for its later changes. Throws IoError; missing data directories are
// reported through the same error.
Workstation prepareWorkstation(const QString& workDir, bool boss, const QString& today,
                               LockWait* wait = nullptr);

} // namespace kestrana::startup
