#pragma once

#include <QString>

namespace kestrana {

// Whether this workstation shows printouts in the print preview first ("Podgląd wydruku"):
// one byte, 1 or 0, in Admini/podglad.dat under the working directory. A missing file means
// off, so workstations that never chose keep printing straight away.
QString previewSettingFile(const QString& workDir);
// Throws IoError when the file exists but cannot be read.
bool readPreviewSetting(const QString& workDir);
// Replaces the file whole; throws IoError.
void storePreviewSetting(const QString& workDir, bool on);

} // namespace kestrana
