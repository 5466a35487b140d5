#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

// kestrana-cli duplicates: the groups of entries that are likely one company, each with its
// heading and one line per entry (ID, code, dates, NIP, REGON, name, town), a blank line
// between groups, and a closing count. Nothing is changed. Returns 0, 1 when the register
// cannot be read (the reason on stderr), 2 for wrong arguments.
int runDuplicatesCommand(const QStringList& args, const QString& workDir, const QString& today);

inline constexpr const char* duplicatesUsage =
    "  duplicates                         wypisuje grupy wpisów, które mogą być tą samą firmą\n"
    "                                     (ten sam NIP, REGON albo nazwa i miejscowość)\n";

} // namespace kestrana
