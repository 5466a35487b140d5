#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>

// Company descriptions: OPISY/opis_ks_<id>.dat, Windows-1250 text, every line ended by CR LF.
namespace kestrana::descriptions {

// The description file of an entry, or empty when the ID is neither empty nor plain digits
// (such an ID may not become part of a file name). An empty ID names opis_ks_.dat.
QString path(const Workstation& ws, const QString& id);

// The description's lines; a missing file is an empty description.
QStringList read(const QString& path);
// Stores the lines, replacing the file as a whole (an empty description is an empty file).
void store(const QString& path, const QStringList& lines);

} // namespace kestrana::descriptions
