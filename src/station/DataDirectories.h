#pragma once

#include <QString>
#include <QStringList>

// The directories of a data folder. The register never creates them unasked: start-up names
// the missing ones and creates them only when the user agrees.
namespace kestrana::startup {

// The data directories that must exist below the base directory.
const QStringList& dataDirectoryNames();
// Those of `names` (all data directories by default) missing below `dir`.
QStringList missingDirectories(const QString& dir, const QStringList& names);
QStringList missingDataDirectories(const QString& baseDir);
// Creates them; a new OBRAZKI receives the two contract pictures.
void createDataDirectories(const QString& baseDir, const QStringList& names);

} // namespace kestrana::startup
