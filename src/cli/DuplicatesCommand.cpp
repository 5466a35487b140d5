#include "cli/DuplicatesCommand.h"

#include "cli/CliStart.h"
#include "platform/IoError.h"
#include "register/Duplicates.h"
#include "register/Register.h"

#include <cstdio>

namespace kestrana {

namespace {

void printLine(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int runDuplicatesCommand(const QStringList& args, const QString& workDir, const QString& today) {
    if (args.size() > 1) {
        std::fprintf(stderr, "kestrana-cli: duplicates nie przyjmuje opcji, nie: %s\n",
                     args[1].toUtf8().constData());
        return 2;
    }
    std::vector<duplicates::Group> groups;
    try {
        const Workstation ws = openRegister(workDir, today);
        Register reg(ws);
        groups = duplicates::find(reg.store());
    } catch (const IoError& e) {
        std::fprintf(stderr, "kestrana-cli: %s\n", e.text().toUtf8().constData());
        return 1;
    }
    int number = 0;
    for (const duplicates::Group& group : groups) {
        printLine(duplicates::groupHeading(++number, group));
        for (const duplicates::Member& member : group.members)
            printLine(QStringLiteral("  ") + duplicates::memberLine(member));
        printLine({});
    }
    printLine(groups.empty() ? QStringLiteral("Nie znaleziono powtórzonych wpisów.")
                             : QStringLiteral("Grup powtórzonych wpisów: %1.").arg(groups.size()));
    return 0;
}

} // namespace kestrana
