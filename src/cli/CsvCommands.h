#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

class LockWait;

// The usage lines of the two commands, for the program's usage text.
extern const char* const csvUsage;

// `export --csv FILE [FILTER]` and `export --xlsx FILE [FILTER]`: build the list (through the
// filter options of `list`, when given) and write it to FILE as CSV or as an XLSX workbook.
// `import --csv FILE [--only-new]`: prints what the import will do (the rows to add, refused,
// damaged by a spreadsheet, and repeating entries of the register), asks nothing, adds every row
// (with --only-new those that repeat no entry), prints the result and the report file written
// beside FILE; "Cofnij ostatni import" of this workstation can undo it. `args` are the arguments
// after the program name, the command word first. Relative file names count from `workDir`, the
// folder that holds the data. Each returns 0 when done (refused rows included), 1 when a file
// could not be read or written or is no list export (the reason on stderr; after entries were
// added: when the report or the record for the undo could not be written), 2 when the arguments
// are wrong.
int runCsvExportCommand(const QStringList& args, const QString& workDir, const QString& today);
// A busy main file or ID counter is waited for as `wait` decides (kDefaultLockWait without one).
int runCsvImportCommand(const QStringList& args, const QString& workDir, const QString& today,
                        LockWait* wait = nullptr);

} // namespace kestrana
