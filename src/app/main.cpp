#include "app/DesktopStart.h"
#include "app/ProgramWindows.h"
#include "app/SingleInstance.h"
#include "platform/MemoryTuning.h"
#include "platform/QtPrompts.h"
#include "print/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrana/desktop/kestrana.svg")));
    QStringList arguments = app.arguments();
    QString workDir = QDir::currentPath();
    // Started from the desktop menu: the data folder in the user's home directory.
    if (kestrana::takeDesktopArgument(arguments)) {
        const std::optional<QString> folder = kestrana::prepareHomeFolder(
            prompts, kestrana::installedTemplate(QCoreApplication::applicationDirPath()),
            kestrana::homeDataFolder(QDir::homePath()), kestrana::todayString(clock.today()));
        if (!folder || !QDir::setCurrent(*folder))
            return 0;
        workDir = *folder;
    }
    // A second start on the same folder brings the running window forward and ends.
    kestrana::SingleInstance instance(kestrana::singleInstanceName(workDir));
    if (!instance.claim())
        return 0;
    QWidget* mainWindow = nullptr;
    instance.setRaiseRequest([&mainWindow] {
        // A question the running program waits on comes forward before its window.
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            window = mainWindow;
        if (!window)
            return;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    });
    kestrana::ProgramWindows windows(prompts, dialogs, clock, arguments, workDir);
    if (!windows.start())
        return 0;
    mainWindow = &windows.main();
    prompts.setParent(&windows.main());
    windows.main().show();
    return app.exec();
}
