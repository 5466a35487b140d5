#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>

// The command lines that start the sibling office programs and the desktop's tools, and how
// such a line is started: parsed into a program and its arguments, never through a shell.
namespace kestrana::commands {

QString komentarze(const EntryRecord& entry);        // "Komentarze"
QString rejestrDokumentow(const EntryRecord& entry); // "Rejestr dokumentów"
QString rejestrZadan(const EntryRecord& entry);      // "Rejestr zadań"
QString czytnikZadan();                              // "Czytnik zadań"
QString notatnik();                                  // "&Notatnik"
QString kalkulator();                                // "Kalkulator"

struct ParsedCommand {
    QString program;
    QStringList arguments;
};
// Splits a command line the way it is written: blanks separate arguments, a double quote
// starts or ends a quoted part in which blanks are kept; the quote marks themselves are
// dropped. An unmatched quote runs to the end of the line.
ParsedCommand parse(const QString& commandLine);

// Where a bare program name is looked for: the directory of the running executable, the
// working directory, then PATH; each with the name as written and without ".exe".
// "notepad.exe" and "calc.exe" stand for the desktop's text editor and calculator.
// Returns the full path of the program, or empty when none is found.
QString findProgram(const QString& name, const QString& executableDir, const QString& workDir,
                    const QString& pathVariable);

// Starts the command detached, in `workDir`. Nothing is reported when it cannot start.
// Returns whether a program was started (for tests).
bool start(const QString& commandLine, const QString& workDir);

} // namespace kestrana::commands
