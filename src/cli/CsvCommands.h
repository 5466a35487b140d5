#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

class LockWait;

// The usage lines of the two commands, for the program's usage text.
extern const char* const csvUsage;

// `export --csv FILE [FILTER]`: builds the list (through the filter options of `list`, when
// given) and writes it to FILE as CSV. `import --csv FILE`: appends the rows of FILE as new
// entries and prints what was added and which rows were skipped and why. `args` are the
// arguments after the program name, the command word first. Relative file names count from
// `workDir`, the folder that holds the data. Each returns 0 when done (skipped rows included),
// 1 when a file could not be read or written or is no list export (the reason on stderr), 2
// when the arguments are wrong.
int runCsvExportCommand(const QStringList& args, const QString& workDir, const QString& today);
// A busy main file or ID counter is waited for as `wait` decides (kDefaultLockWait without one).
int runCsvImportCommand(const QStringList& args, const QString& workDir, const QString& today,
                        LockWait* wait = nullptr);

} // namespace kestrana
