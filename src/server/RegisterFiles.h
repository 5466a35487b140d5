#pragma once

#include "station/Workstation.h"

#include <QString>

#include <optional>
#include <vector>

// What of a file register lives on the server: the main file (as entries), the descriptions,
// and five small files kept whole under a name of their own.
namespace kestrana::server {

struct RecordFile {
    QString name;    // the row in kestrana.records
    QString subPath; // the file below the base directory
};
// ID counter, company data, category names, KP and KW counters.
std::vector<RecordFile> recordFiles(const Workstation& ws);

// OPISY/opis_ks_<id>.dat: the file name of a description (an empty ID has one too).
QString descriptionFileName(const Workstation& ws, const QString& id);
// The ID a file name in OPISY stands for, letter case aside; nothing for any other name.
std::optional<QString> descriptionIdOf(const Workstation& ws, const QString& fileName);

} // namespace kestrana::server
