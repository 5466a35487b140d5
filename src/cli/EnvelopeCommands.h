#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

// kestrana-cli print envelope --id ID [--block 1|2|3] [--profile FILE]
//                             [--paper DL|C6|C5|C4|strona] (--pdf FILE | --trace FILE) [--dpi N]
// Prints one envelope for the entry with that ID as the envelope window prints it after the
// entry's "Koperta": sender lines from the own company, recipient lines from the block (1 or
// seat, 2 or corr, 3 or contact; seat when not given), everything else from the stored default
// settings under ADMINI (created with their defaults when missing, as the window's preparation
// does), or from the profile when one is named. Relative file names count from `workDir`; so
// does the data folder. The paper is the one named, or the one this workstation chose in the
// envelope window. `args` are the words after "print envelope" (a leading "print" and
// "envelope" are skipped). A PDF needs a QGuiApplication (it draws text). Returns 0 when printed, 1
// when it failed (the reason on stderr), 2 for wrong arguments (nothing done; the usage on stderr).
int runEnvelopePrintCommand(const QStringList& args, const QString& workDir);

// The command's usage line, for the program's usage text.
QString envelopePrintUsage();

} // namespace kestrana
