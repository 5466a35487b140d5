#include "app/ProgramWindows.h"
#include "platform/MemoryTuning.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    kestrana::keepFreedMemory();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    kestrana::QtPrompts prompts;
    kestrana::QtDialogs dialogs;
    kestrana::SystemClock clock;
    kestrana::ProgramWindows windows(prompts, dialogs, clock, app.arguments(), QDir::currentPath());
    if (!windows.start())
        return 0;
    prompts.setParent(&windows.main());
    windows.main().show();
    return app.exec();
}
