#pragma once

#include "register/RecordFiles.h"
#include "station/Workstation.h"

namespace kestrana {

// The list font and print font settings under FONT/ of the working directory.
QList<RecordFiles> fontRecordFiles(const Workstation& ws);

} // namespace kestrana
