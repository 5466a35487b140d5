#pragma once

#include <QString>

namespace kestrana {

// Installs a data folder: the register's directories, the contract pictures, the help text
// and a local-mode siec.dat. With `demo`, also a register of fictional companies with named
// categories, descriptions and the office's own company data. Throws IoError; refuses (with
// an IoError) to put a demo over an existing main file.
void installDataFolder(const QString& dir, bool demo, const QString& today);

// Appends `count` synthetic entries, reproducible from `seed`, giving them new IDs.
void generateEntries(const QString& mainFile, const QString& idFile, qint64 count, quint32 seed);

} // namespace kestrana
