// Holds a file lock for tests, as another workstation in the middle of a long sort would:
// usage `holder LOCKFILE`. Prints "held" once it has the lock and lets go when its standard
// input ends or gives a line.
#include "platform/IoError.h"
#include "register/FileLock.h"

#include <QCoreApplication>

#include <cstdio>

using namespace kestrana;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: holder LOCKFILE\n");
        return 2;
    }
    try {
        const FileLock lock(args[1]);
        std::printf("held\n");
        std::fflush(stdout);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) {
            // End of input: the test is done with the lock.
        }
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
