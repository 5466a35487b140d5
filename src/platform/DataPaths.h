#pragma once

#include <QString>

namespace kestrana {

// Data paths are written with any letter case ("Admini" and "ADMINI" are one directory) and
// with either separator. Each component is matched against what exists on disk, exact first,
// then ignoring case; a component that does not exist keeps the spelling given, so the path
// can be created.
QString resolvePath(const QString& base, const QString& subPath);

// True when `name` is a plain decimal number (a minus sign allowed), safe to put into a file
// name.
bool isPlainId(const QString& name);

} // namespace kestrana
