#include "app/MainWindow.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    kestrana::QtPrompts prompts;
    kestrana::SystemClock clock;
    kestrana::Tbaza_f window({prompts, clock, app.arguments(), QDir::currentPath()});
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
