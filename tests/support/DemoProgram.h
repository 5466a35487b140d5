#pragma once

#include "app/ProgramWindows.h"
#include "platform/Clock.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"

namespace kestrana::test {

// The whole program, every window of it, on a fresh demo register (as `kestrana-cli init
// --demo` installs it) on 7 December 2026 at 9:00, its questions and dialogs scripted. The
// windows are made by windows.start().
struct DemoProgram {
    DataFolder folder{false};
    bool installed = installDemo(folder);
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    FixedClock clock{QDate(2026, 12, 7), QTime(9, 0)};
    ProgramWindows windows{prompts, dialogs, clock, {QStringLiteral("kestrana")}, folder.path()};

    static bool installDemo(const DataFolder& folder);
};

} // namespace kestrana::test
