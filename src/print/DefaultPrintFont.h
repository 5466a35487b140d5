#pragma once

#include "print/FontSettings.h"

#include <QString>
#include <QStringList>

namespace kestrana {

// The print font a new workstation starts with: a plain sans face at 8 points, black, no style,
// which every printout's fixed layout holds without texts running into each other.
inline constexpr int kDefaultPrintPoints = 8;

// The faces preferred for it, in order; the first one installed is taken.
const QStringList& preferredPrintFaces();
// The first of the preferred faces among `installedFamilies` (compared without letter case), or
// `generalFace` (the platform's general face) when none of them is installed.
QString defaultPrintFace(const QStringList& installedFamilies, const QString& generalFace);
// The default record with the face installed here (the first preferred face when no
// application is running that could say which are installed).
FontRecord defaultPrintFont();

// Writes the default into FONT/font_kelmo_2007.dat under `workDir` when that file is missing
// and the FONT directory exists (directories are installed, not made here). An existing file
// is never touched. Returns whether it wrote the file. Throws IoError.
bool writeDefaultPrintFont(const QString& workDir);

} // namespace kestrana
