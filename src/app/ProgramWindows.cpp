#include "app/ProgramWindows.h"

namespace kestrana {

ProgramWindows::ProgramWindows(Prompts& prompts, const Clock& clock, QStringList arguments,
                               QString workDir)
    : prompts_(prompts), clock_(clock), arguments_(std::move(arguments)),
      workDir_(std::move(workDir)) {}

ProgramWindows::~ProgramWindows() = default;

bool ProgramWindows::start() {
    // A network workstation whose shared folder is out of reach is told so before the main
    // window tries to open files there; the notepad window repeats the same check.
    notepad_ = std::make_unique<Tlogowania_f>(prompts_, workDir_);
    if (!notepad_->FormCreate())
        return false;
    main_ = std::make_unique<Tbaza_f>(MainWindowContext{prompts_, clock_, arguments_, workDir_});
    main_->setNotepadOpener([this](const notepad::Request& request) {
        if (!notepad_->open(request))
            main_->endAfterNetworkFailure();
    });
    return true;
}

} // namespace kestrana
