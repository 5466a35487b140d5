#include "cli/CsvCommands.h"

#include "cli/CliStart.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "platform/IoError.h"
#include "register/Register.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"

#include <QDir>

#include <cstdio>

namespace kestrana {

const char* const csvUsage =
    "  export --csv PLIK [FILTR]          zapisuje listę wpisów (z FILTREM jak w list) do\n"
    "                                     pliku CSV\n"
    "  import --csv PLIK                  dopisuje wiersze pliku CSV jako nowe wpisy\n";

namespace {

int report(const QString& message, int code) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return code;
}

void printText(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// FILE of "COMMAND --csv FILE" with nothing else, or nothing.
QString csvFileArgument(const QStringList& args) {
    if (args.size() != 3 || args[1] != QLatin1String("--csv") || args[2].isEmpty())
        return {};
    return args[2];
}

} // namespace

int runCsvExportCommand(const QStringList& args, const QString& workDir, const QString& today) {
    const FilterOptions filter = parseFilterOptions(args);
    if (!filter.error.isEmpty())
        return report(filter.error, 2);
    const QString file = csvFileArgument(filter.rest);
    if (file.isEmpty())
        return report(QStringLiteral("podaj: export --csv PLIK [FILTR]"), 2);
    try {
        const Workstation ws = openRegister(workDir, today);
        Register reg(ws);
        reg.buildList(
            ViewMode::Nazwa, [](QString&&) {},
            filter.given ? makeEntryFilter(filter.criteria, ws) : Register::Filter());
        const QString path = QDir(workDir).absoluteFilePath(file);
        const qint64 count = csv::exportCurrentList(ws, path);
        printText(QStringLiteral("Zapisano %1 do pliku %2.")
                      .arg(csv::countText(count, QStringLiteral("wpis"), QStringLiteral("wpisy"),
                                          QStringLiteral("wpisów")),
                           path));
    } catch (const IoError& e) {
        return report(e.text(), 1);
    }
    return 0;
}

int runCsvImportCommand(const QStringList& args, const QString& workDir, const QString& today) {
    const QString file = csvFileArgument(args);
    if (file.isEmpty())
        return report(QStringLiteral("podaj: import --csv PLIK"), 2);
    try {
        const Workstation ws = openRegister(workDir, today);
        const csv::ImportReport result = csv::importFile(ws, QDir(workDir).absoluteFilePath(file));
        if (!result.refusal.isEmpty())
            return report(result.refusal, 1);
        printText(csv::importSummary(result));
    } catch (const IoError& e) {
        return report(e.text(), 1);
    }
    return 0;
}

} // namespace kestrana
