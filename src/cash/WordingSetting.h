#pragma once

#include "platform/FaultInjector.h"

#include <QString>

namespace kestrana {

// Whether this workstation's vouchers state their total in full Polish ("Słownie z pełną
// odmianą"): one byte, 1 or 0, in Admini/odmiana.dat under the working directory, beside the
// print preview's podglad.dat. A missing file means off: the office's own wording.
QString wordingSettingFile(const QString& workDir);
// Throws IoError when the file exists but cannot be read.
bool readWordingSetting(const QString& workDir);
// Replaces the file whole; throws IoError.
void storeWordingSetting(const QString& workDir, bool full, files::FaultInjector* faults = nullptr);

} // namespace kestrana
