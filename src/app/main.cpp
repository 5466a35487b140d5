#include "app/DesktopStart.h"
#include "app/ProgramWindows.h"
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
    kestrana::ProgramWindows windows(prompts, dialogs, clock, arguments, workDir);
    if (!windows.start())
        return 0;
    prompts.setParent(&windows.main());
    windows.main().show();
    return app.exec();
}
