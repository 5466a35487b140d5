#pragma once

#include "platform/FaultInjector.h"

#include <QString>
#include <QStringList>

// Text files hold Windows-1250 text with CR LF between lines; reading also accepts LF and CR.
namespace kestrana::textfile {

QStringList readLines(const QString& path, files::FaultInjector* faults = nullptr);
// Joins the lines with CR LF; `finalBreak` adds one after the last line too.
void writeLines(const QString& path, const QStringList& lines, bool finalBreak,
                files::FaultInjector* faults = nullptr);

QStringList splitLines(const QString& text);

} // namespace kestrana::textfile
