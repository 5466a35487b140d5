#pragma once

#include "station/Workstation.h"

#include <QString>
#include <QStringList>

// Company descriptions: OPISY/opis_ks_<id>.dat, Windows-1250 text, every line ended by CR LF;
// in server mode the same text on the server.
namespace kestrana::descriptions {

// The description file of an entry, or empty when the ID is neither empty nor plain digits
// (such an ID may not become part of a file name). An empty ID names opis_ks_.dat.
QString path(const Workstation& ws, const QString& id);

// The description's lines; a missing file is an empty description.
QStringList read(const QString& path);
// Stores the lines, replacing the file as a whole (an empty description is an empty file).
void store(const QString& path, const QStringList& lines);

// The same for the entry `id` wherever the register keeps its descriptions: the file path()
// names, or the server in server mode. The ID must be one path() accepts.
QStringList read(const Workstation& ws, const QString& id);
void store(const Workstation& ws, const QString& id, const QStringList& lines);

} // namespace kestrana::descriptions
