#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>
#include <QUrl>

// The command lines that start the sibling office programs and the desktop's tools, and how
// such a line is started: parsed into a program and its arguments, never through a shell.
namespace kestrana::commands {

struct ParsedCommand {
    QString program;
    QStringList arguments;
};

// A command line as it is written, with fields of an entry put into it. The written pattern is
// split into the program and its arguments first and only then are the fields put into the
// arguments, so a field's text always stays inside the one argument it was put into, quote
// marks and blanks included.
class CommandLine {
public:
    CommandLine() = default;
    // `pattern` is the line with %1, %2, ... (up to %9) where the fields go.
    explicit CommandLine(QString pattern, QStringList fields = {});

    // The line as it reads, the fields put in as they are (what the user would see).
    QString text() const;
    // The program and its arguments, the fields put into the arguments after the split.
    ParsedCommand parsed() const;
    bool isEmpty() const { return pattern_.isEmpty(); }

private:
    QString pattern_;
    QStringList fields_;
};

CommandLine komentarze(const EntryRecord& entry);        // "Komentarze"
CommandLine rejestrDokumentow(const EntryRecord& entry); // "Rejestr dokumentów"
CommandLine rejestrZadan(const EntryRecord& entry);      // "Rejestr zadań"
QString czytnikZadan();                                  // "Czytnik zadań"
QString notatnik();                                      // "&Notatnik"
QString kalkulator();                                    // "Kalkulator"
// The mail program for an address: "kormel.exe " and the address, the line cut to 200
// characters; empty for an empty address.
CommandLine mailProgram(const QString& address);

// Splits a command line the way it is written: blanks separate arguments, a double quote
// starts or ends a quoted part in which blanks are kept; the quote marks themselves are
// dropped. An unmatched quote runs to the end of the line.
ParsedCommand parse(const QString& commandLine);

// Where a bare program name is looked for: the directory of the running executable, then the
// absolute folders of PATH; each with the name as written and without ".exe". Never the working
// directory nor the data folder, where anyone who shares the folder could plant a program.
// "notepad.exe" and "calc.exe" stand for the desktop's text editor and calculator. A name with
// a slash counts only when it is an absolute path. Returns the full path of the program, or
// empty when none is found.
QString findProgram(const QString& name, const QString& executableDir, const QString& pathVariable);

// How a start went: the caller names a program that could not be found or started.
enum class StartOutcome { Started, NotFound, NotStarted };

// Starts the command detached, in `workDir`.
StartOutcome start(const CommandLine& command, const QString& workDir);
// A line without fields.
StartOutcome start(const QString& commandLine, const QString& workDir);

// What the user is told when the program of `command` did not start; empty when it did.
QString notStartedMessage(const CommandLine& command, StartOutcome outcome);

// The desktop mail client's address for `address` ("mailto:" with the address as written, its
// special characters escaped); empty for an empty address.
QUrl mailtoUrl(const QString& address);

} // namespace kestrana::commands
