#pragma once

#include <QString>

#include <optional>

// Server mode of a workstation: Admini/serwer.dat under the working directory, beside siec.dat,
// holds the libpq connection string of the server that keeps the register (one line,
// Windows-1250). The file's presence is the mode. siec.dat is never touched by it: it still
// names the base directory of what stays on the workstation's side (pictures, help, envelope
// settings, fixed texts, saved vouchers, fonts, the list file, the remembered entry), and a
// workstation switched back to local or network mode finds it as it was.
namespace kestrana::startup {

QString serverChoiceFile(const QString& workDir);
// The connection string, or nothing when the workstation keeps its register in files.
// Throws IoError when the file exists but cannot be read.
std::optional<QString> readServerChoice(const QString& workDir);
// Throws IoError; the file is replaced as a whole.
void writeServerChoice(const QString& workDir, const QString& conninfo);
// Back to the files siec.dat names. Returns whether server mode was on.
bool clearServerChoice(const QString& workDir);

// What start-up says in server mode when the program that starts has no way to the server (a
// helper program): the local folder must not stand in for the register on the server.
QString serverModeText();

// The main window's caption in server mode, beside "Kestrana - bazy lokalne" and
// "Kestrana - bazy sieciowe".
QString captionForServerMode();

} // namespace kestrana::startup
