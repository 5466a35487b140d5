#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace kestrana {

class Clock;
class LockWait;

// kestrana-cli's voucher commands. `args` are the arguments after the program name, the
// command word(s) first as main() has them ("words", "12.50" or "print", "voucher", "--kind",
// ...); the command words may also be left out. Each returns 0 when done, 1 when it failed
// (the reason on stderr), 2 when the arguments are wrong (nothing was done).

// The usage lines of the two commands, for the program's usage text.
extern const char* const voucherUsage;

// `words [--full] AMOUNT`: the words line of a voucher whose total is AMOUNT (a decimal number
// with a point), as the printout writes it; with --full in full Polish.
int runWordsCommand(const QStringList& args);

// `print voucher --kind kp|kw --id ID [--kpw FILE] [--colour] --pdf FILE | --trace FILE
// [--dpi N]`: prints the voucher of entry ID as the window does (company block from the
// entry's first name line and seat address, issuer from ADMINI/firma.dat, grid from the
// document file, total from the grid, words as the workstation chose them). A PDF is paper: a
// missing counter file is created and the next number taken. A trace is not: it bears the
// number the counter holds, which stays (a missing counter shows 1 and is not created). Prints
// the voucher's title line. A PDF needs a QGuiApplication; a trace does not. Relative file names
// count from `workDir`, the folder that holds the data. A busy counter is waited for as `wait`
// decides (kDefaultLockWait without one).
int runVoucherPrintCommand(const QStringList& args, const QString& workDir,
                           LockWait* wait = nullptr);

// The same, writing to the given streams and dating the voucher by `clock`.
int runWordsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runVoucherPrintCommand(const QStringList& args, const QString& workDir, QTextStream& out,
                           QTextStream& err, const Clock& clock, LockWait* wait = nullptr);

} // namespace kestrana
