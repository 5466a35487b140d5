#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrana {

class Prompts;

// The argument the desktop menu entry starts the program with. It is taken out of the
// arguments before anything else reads them, so the user level keeps its position.
inline QString desktopArgument() {
    return QStringLiteral("--desktop");
}

// Takes the desktop argument out of a command line (the program name first); true when it was
// there. The desktop entry's boss action passes the level token after it, which then stands
// where the user level is read.
bool takeDesktopArgument(QStringList& arguments);

// The data folder of a user who starts the program from the desktop menu.
QString homeDataFolder(const QString& homeDir);

// The data-folder template installed beside the program (share/kestrana/template next to the
// bin directory); empty when there is none, as in a build folder.
QString installedTemplate(const QString& programDir);

// Makes sure the desktop user's data folder exists: an existing folder is used as it is; a
// missing one is created after asking, as a copy of `templateDir`, or from the program's own
// data when there is no template. The copy is made beside the target and renamed into place,
// so a failed or interrupted copy never looks like a data folder. Returns the folder, or
// nothing when the user declined or the creation failed (the error has been shown).
std::optional<QString> prepareHomeFolder(Prompts& prompts, const QString& templateDir,
                                         const QString& target, const QString& today);

} // namespace kestrana
