#include "cli/CsvCommands.h"

#include "cli/CliStart.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportTexts.h"
#include "exchange/LastImport.h"
#include "exchange/XlsxExport.h"
#include "platform/Clock.h"
#include "platform/IoError.h"
#include "register/Register.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"

#include <QDateTime>
#include <QDir>

#include <cstdio>

namespace kestrana {

const char* const csvUsage =
    "  export --csv PLIK [FILTR]          zapisuje listę wpisów (z FILTREM jak w list) do CSV\n"
    "  export --xlsx PLIK [FILTR]         to samo do arkusza XLSX (każde pole jako tekst)\n"
    "  import --csv PLIK [--only-new]     dopisuje wiersze CSV jako nowe wpisy (z --only-new\n"
    "                                     tylko te, które nie powtarzają wpisów rejestru)\n";

namespace {

int report(const QString& message, int code) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return code;
}

// An entry the description filter passed over: told, the export goes on.
void tellSkipped(const QString& text) {
    report(text, 0);
}

void printText(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// FILE of "--FORMAT FILE" as the only other arguments besides the command word and `flags`.
QString fileArgument(const QStringList& args, const QString& format,
                     const QStringList& flags = {}) {
    QStringList rest = args.mid(1);
    for (const QString& flag : flags)
        rest.removeAll(flag);
    if (rest.size() != 2 || rest[0] != format || rest[1].isEmpty())
        return {};
    return rest[1];
}

} // namespace

int runCsvExportCommand(const QStringList& args, const QString& workDir, const QString& today) {
    const FilterOptions filter = parseFilterOptions(args);
    if (!filter.error.isEmpty())
        return report(filter.error, 2);
    const QString csvFile = fileArgument(filter.rest, QStringLiteral("--csv"));
    const QString xlsxFile = fileArgument(filter.rest, QStringLiteral("--xlsx"));
    if (csvFile.isEmpty() && xlsxFile.isEmpty())
        return report(QStringLiteral("podaj: export --csv PLIK [FILTR] albo export --xlsx PLIK "
                                     "[FILTR]"),
                      2);
    try {
        const Workstation ws = openRegister(workDir, today);
        Register reg(ws);
        reg.buildList(
            ViewMode::Nazwa, [](QString&&) {},
            filter.given ? makeEntryFilter(filter.criteria, ws, tellSkipped) : Register::Filter());
        const QString path = QDir(workDir).absoluteFilePath(csvFile.isEmpty() ? xlsxFile : csvFile);
        // The list this command built, never the shared list file another workstation may have
        // written since.
        const CategoryNames names = csv::currentCategoryNames(ws);
        const qint64 count = csvFile.isEmpty()
                                 ? xlsx::exportListFile(reg.listSource(), names, path, ws.faults)
                                 : csv::exportListFile(reg.listSource(), names, path, ws.faults);
        printText(QStringLiteral("Zapisano %1 do pliku %2.").arg(csv::entryCount(count), path));
    } catch (const IoError& e) {
        return report(e.text(), 1);
    }
    return 0;
}

int runCsvImportCommand(const QStringList& args, const QString& workDir, const QString& today,
                        LockWait* wait) {
    const QString onlyNew = QStringLiteral("--only-new");
    const QString file = fileArgument(args, QStringLiteral("--csv"), {onlyNew});
    if (file.isEmpty() || args.count(onlyNew) > 1)
        return report(QStringLiteral("podaj: import --csv PLIK [--only-new]"), 2);
    const csv::ImportChoice choice =
        args.contains(onlyNew) ? csv::ImportChoice::OnlyNew : csv::ImportChoice::All;
    int code = 0;
    try {
        const Workstation ws = openRegister(workDir, today, wait);
        const csv::ImportPlan plan = csv::planImport(ws, QDir(workDir).absoluteFilePath(file));
        if (!plan.refusal.isEmpty())
            return report(plan.refusal, 1);
        printText(csv::planSummary(plan));
        const QString details = csv::planDetails(plan);
        if (!details.isEmpty())
            printText(QLatin1Char('\n') + details + QLatin1Char('\n'));
        if (plan.rows.empty()) {
            printText(QStringLiteral("Nie dodano żadnego wpisu."));
            return 0;
        }
        const csv::ImportResult result = csv::applyImport(ws, plan, choice);
        // The entries are in: what follows can fail without taking them back.
        const SystemClock clock;
        const QDateTime when(clock.today(), clock.now());
        try {
            csv::storeLastImport(ws, plan, result, when);
        } catch (const IoError& e) {
            code = report(QStringLiteral("nie zapisano, co dodał ten import, więc nie będzie go "
                                         "można cofnąć: ") +
                              e.text(),
                          1);
        }
        printText(csv::resultSummary(result));
        try {
            printText(
                QStringLiteral("Raport: %1").arg(csv::writeImportReport(ws, plan, result, when)));
        } catch (const IoError& e) {
            code = report(QStringLiteral("nie zapisano raportu importu: ") + e.text(), 1);
        }
    } catch (const IoError& e) {
        return report(e.text(), 1);
    }
    return code;
}

} // namespace kestrana
