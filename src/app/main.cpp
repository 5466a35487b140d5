#include "app/ProgramWindows.h"
#include "platform/MemoryTuning.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    kestrana::keepFreedMemory();
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    // The platform's own dialogs (print, preview, files) speak Polish like the rest; without
    // the translation package they stay in English.
    QTranslator qtPolish;
    if (qtPolish.load(QStringLiteral("qtbase_pl"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtPolish);
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
