// Imports a CSV file into a register as the program does, and kills itself just before the
// file call numbered KILL_AT of the import's adding step (0: never): `appender DIR CSV KILL_AT`.
// Prints the number of file calls the adding step made when it was not killed.
#include "exchange/CsvImport.h"
#include "exchange/ImportPlan.h"
#include "platform/FaultInjector.h"
#include "platform/IoError.h"
#include "register/Startup.h"

#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace kestrana;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: appender DIR CSV KILL_AT\n");
        return 2;
    }
    try {
        Workstation ws = startup::prepareWorkstation(args[1], true, "2026-12-07");
        const csv::ImportPlan plan = csv::planImport(ws, args[2]);
        const int killAt = args[3].toInt();
        int calls = 0;
        files::FaultInjector faults;
        faults.setObserver([&](files::Call, const QString&) {
            if (++calls == killAt)
                ::kill(::getpid(), SIGKILL);
        });
        ws.faults = &faults;
        csv::applyImport(ws, plan, csv::ImportChoice::All);
        std::printf("%d\n", calls);
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
