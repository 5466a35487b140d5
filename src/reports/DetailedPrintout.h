#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"
#include "register/EntryRecord.h"
#include "register/Register.h"

#include <QString>

namespace kestrana {

// "Wydruk szczegółowy listy": the list file as a landscape table, one framed row per entry,
// 12 rows under the title and header on page 1, 13 rows on every further page. Every record
// passes through `buffer`, which afterwards holds the list's last entry. The printer is left in
// portrait orientation, also when the list file fails half-way. Throws IoError.
void printDetailedList(PageHelper& page, const PrintFont& font, const files::RecordSource& listFile,
                       EntryRecord& buffer);

// The menu item's print run: the print dialog (false when cancelled), the print font, then the
// list `reg` built last (Register::listSource) through its entry buffer. The caller checks first
// that the list is not empty. Throws IoError.
bool runDetailedPrintout(Dialogs& dialogs, FontSettings& fonts, Register& reg);

} // namespace kestrana
