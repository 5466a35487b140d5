#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

// kestrana-cli emails [FILTER]: the e-mail addresses of every entry, or of those the filter
// options keep (as `list` takes them), one a line on stdout, checked and without repeats; the
// count, the entries without an address and every refused address (with its entry) on stderr.
// Returns 0, 1 when the register cannot be read, 2 for wrong arguments.
int runEmailsCommand(const QStringList& args, const QString& workDir, const QString& today);

inline constexpr const char* emailsUsage =
    "  emails [FILTR]                     wypisuje adresy e-mail listy, jeden w linii\n";

} // namespace kestrana
