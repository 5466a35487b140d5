#pragma once

#include <QString>
#include <QStringList>

// The directories of a data folder. The register never creates them unasked: start-up names
// the missing ones and creates them only when the user agrees.
namespace kestrana::startup {

// The data directories without which the register cannot work, below the base directory.
const QStringList& dataDirectoryNames();
// The data directories of single functions below the base directory: the vouchers' DOKUMENTY,
// the help's POMOC and the envelope profiles' Koperty. The register works without them; the
// function that needs one fails until it is there.
const QStringList& functionDirectoryNames();
// The workstation's own font settings, below the working directory.
QString fontDirectoryName();
// What each of the function directories and FONT is needed for ("dowody KP/KW"), for the user.
QString directoryPurpose(const QString& name);

// Those of `names` (all data directories by default) missing below `dir`.
QStringList missingDirectories(const QString& dir, const QStringList& names);
QStringList missingDataDirectories(const QString& baseDir);
// Creates them; a new OBRAZKI receives the two contract pictures and a new POMOC the help text.
void createDataDirectories(const QString& baseDir, const QStringList& names);

} // namespace kestrana::startup
