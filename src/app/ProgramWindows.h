#pragma once

#include "app/MainWindow.h"
#include "cash/VoucherWindow.h"
#include "envelope/EnvelopeWindow.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "print/CategoryWindow.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/FontWindow.h"
#include "tools/NotepadWindow.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace kestrana {

// The program's windows, created once in their fixed order and alive until the end: the main
// window first, which then runs the program's start-up, then the others, hidden.
class ProgramWindows {
public:
    ProgramWindows(Prompts& prompts, Dialogs& dialogs, const Clock& clock, QStringList arguments,
                   QString workDir);
    ~ProgramWindows();

    // Creates the windows. False when the program must end at once (the shared folder of a
    // network workstation cannot be reached).
    bool start();

    Tbaza_f& main() { return *main_; }
    Tlogowania_f& notepad() { return *notepad_; }
    Tkat_f& categories() { return *categories_; }
    FontSettings& fonts() { return fonts_; }
    Tkoperta_f& envelope() { return *envelope_; }
    Tkp_f& voucher() { return *voucher_; }

private:
    Prompts& prompts_;
    Dialogs& dialogs_;
    const Clock& clock_;
    QStringList arguments_;
    QString workDir_;
    std::unique_ptr<Tbaza_f> main_;
    std::unique_ptr<Tlogowania_f> notepad_;
    std::unique_ptr<Tkat_f> categories_;
    std::unique_ptr<Tfont_f> fontWindow_;
    std::unique_ptr<Tkoperta_f> envelope_;
    std::unique_ptr<Tkp_f> voucher_;
    FontSettings fonts_;
};

} // namespace kestrana
