#pragma once

#include "register/Editing.h"
#include "station/Workstation.h"

#include <QString>

namespace kestrana {

// Installs a data folder: the register's directories (with FONT, where the print support puts
// its default print font), the contract pictures, the help text and a local-mode siec.dat. With
// `demo`, also a register of fictional companies with named categories, descriptions and the
// office's own company data. Throws IoError; refuses (with an IoError) to put a demo over an
// existing main file.
void installDataFolder(const QString& dir, bool demo, const QString& today);

// Adds `count` synthetic entries, reproducible from `seed`, to the workstation's register
// exactly as an import adds entries (EntryStore::appendNew): new IDs from the counter, all of
// them or none. Returns the first ID given (the others follow it) and where the first entry
// went.
editing::Appended generateEntries(const Workstation& ws, qint64 count, quint32 seed);

} // namespace kestrana
