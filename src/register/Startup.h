#pragma once

#include "platform/IoError.h"
#include "register/CategoryNames.h"
#include "register/RegisterServer.h"
#include "station/Workstation.h"

#include <QStringList>

#include <optional>
#include <stdexcept>

namespace kestrana {
class LockWait;
class Prompts;
namespace files {
class FaultInjector;
}
} // namespace kestrana

// The start of the program and of kestrana-cli: one sequence for both, so that they look for
// the same folders and files, ask the same questions and report a problem in the same words.
namespace kestrana::startup {

struct Request {
    QString workDir; // the process's working directory at start
    bool boss = false;
    QString today; // YYYY-MM-DD, fixed for the run
    // How a wait for a file another workstation is creating ends; the workstation keeps it for
    // its later changes (none: after kDefaultLockWait).
    LockWait* lockWait = nullptr;
    // A test's planned failures of file operations; none in the program.
    files::FaultInjector* faults = nullptr;
    // How a workstation in server mode reaches its server; without it such a workstation is
    // not started.
    ServerOpener openServer = {};
};

// What start-up found and did.
struct Report {
    enum class Outcome {
        Ready,      // every folder and file is there: the register can be worked with
        Stopped,    // a folder was missing and not created, or a file operation failed
        EndProgram, // a network workstation's shared folder or server is out of reach
    };
    Outcome outcome = Outcome::Stopped;
    // Working directory, user level and today; the mode and base directory once located; the
    // register on the server in server mode; the office's company data once read.
    Workstation ws;
    bool located = false;
    bool serverMode = false;        // the workstation keeps its register on a server (serwer.dat)
    QStringList missingDirectories; // paths of the folders found missing
    QStringList createdDirectories; // those of them created on the user's word
    QStringList createdFiles;       // files made with their defaults
    CategoryNames names;            // as the category names file holds them, once ready
    std::optional<IoError> failure; // the failed file operation that stopped it

    bool ready() const { return outcome == Outcome::Ready; }
};

// Locates the data folder and prepares it, in this order, telling and asking through
// `prompts`; a file error is shown there and stops it, the steps done staying done:
// - ADMINI under the working directory, where siec.dat lies (offered when missing);
// - siec.dat (created for local mode when missing), which names the mode and base directory;
// - in network mode, whether the shared folder can be reached (if not: asks whether to switch
//   the workstation back to local mode, and the program ends either way);
// - in server mode (Admini/serwer.dat), the register on the server: when no connection can be
//   made, the same question as for an unreachable shared folder (back to local mode, by
//   removing serwer.dat, or not), and the program ends either way;
// - the data directories under the base directory and FONT under the working directory
//   (offered together when missing; declining one the register needs stops here, declining
//   DOKUMENTY, POMOC, Koperty or FONT only says which functions will not work; in server mode
//   without OPISY, whose descriptions the server keeps);
// - the office's company data, the ID counter, the category names and the main file (in server
//   mode: their records and the first entry on the server), each created with its defaults
//   when missing. Nothing of the register is then created in the local folder.
Report start(const Request& request, Prompts& prompts);

// Thrown when start-up left the register not ready; its prompts have told why.
class NotReady : public std::runtime_error {
public:
    NotReady() : std::runtime_error("start-up did not complete") {}
};

// start() for a caller that needs a ready register or nothing. Throws NotReady.
Workstation prepareWorkstation(const Request& request, Prompts& prompts);

// start() for a caller nobody answers (tests and their helper programs): every question is
// answered No; a register that is not ready throws IoError with the failure or the messages.
// The workstation keeps `wait` for its changes.
Workstation prepareWorkstation(const QString& workDir, bool boss, const QString& today,
                               LockWait* wait = nullptr, const ServerOpener& openServer = {});

} // namespace kestrana::startup
