#pragma once

#include "register/RecordFiles.h"
#include "station/Workstation.h"

namespace kestrana {

// The KP and KW counters and the saved voucher documents (*.kpw in DOKUMENTY).
QList<RecordFiles> voucherRecordFiles(const Workstation& ws);

} // namespace kestrana
