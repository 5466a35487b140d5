#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace kestrana {

// kestrana-cli's VAT register commands (the address: KESTRANA_VAT_URL, else the register's own).

// The usage lines, for the program's usage text.
extern const char* const vatUsage;

// `lookup NIP`: what the register lists for the NIP on `today` (YYYY-MM-DD), one item a line;
// `lookup NIP --account NRB`: whether the account belongs to the NIP ("TAK"/"NIE") with the
// request's identifier. `args` are the words after the program name, "lookup" first. Returns 0
// when the register answered, 1 when it did not or does not list the NIP (the reason on
// stderr), 2 when the arguments are wrong (nothing was asked).
int runLookupCommand(const QStringList& args, const QString& today);
int runLookupCommand(const QStringList& args, const QString& today, QTextStream& out,
                     QTextStream& err);

} // namespace kestrana
