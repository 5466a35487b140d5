#pragma once

#include "register/RecordFiles.h"
#include "station/Workstation.h"

namespace kestrana {

// The envelope defaults (settings, logo, options, form of address) and the profiles (*.pro).
QList<RecordFiles> envelopeRecordFiles(const Workstation& ws);

} // namespace kestrana
