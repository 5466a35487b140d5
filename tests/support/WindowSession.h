#pragma once

#include "app/EntryListView.h"
#include "app/MainWindow.h"
#include "platform/Clock.h"
#include "print/FontSettings.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"

#include <QLineEdit>

#include <memory>

namespace kestrana::test {

// One main window on a data folder, with scripted message boxes, a fixed clock and a fault
// injector for its file operations.
struct WindowSession {
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    FontSettings fonts;
    FixedClock clock{QDate(2007, 3, 5), QTime(14, 5, 9)};
    // Planned failures of the window's file operations.
    files::FaultInjector faults;
    // When a wait for a busy lock shows the busy cursor and asks (set before start()).
    LockWaitTimes lockWaitTimes;
    std::unique_ptr<Tbaza_f> window;
    int ended = 0;

    void start(const QString& dir, const QStringList& arguments = {QStringLiteral("kestrana")});
    void startAsBoss(const QString& dir);

    template <typename T> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    EntryListView* lista() const { return find<EntryListView>(QStringLiteral("lista")); }
    QString field(const char* name) const;
    void setField(const char* name, const QString& text) const;
    void click(const char* button) const;
    void trigger(const char* action) const;
    // Clicks a list line as the user would.
    void clickLine(int row) const;
    // The row of the line whose entry has this ID (-1 when none).
    int rowOfId(const QString& id) const;
};

} // namespace kestrana::test
