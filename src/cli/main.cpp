// kestrana-cli: the register's command-line front, over the same code as the program.
#include "cli/BackupCommand.h"
#include "cli/CliStart.h"
#include "cli/CsvCommands.h"
#include "cli/DuplicatesCommand.h"
#include "cli/EmailsCommand.h"
#include "cli/EnvelopeCommands.h"
#include "cli/FolderCheck.h"
#include "cli/LabelCommands.h"
#include "cli/PrintCommands.h"
#include "cli/ServerCommands.h"
#include "cli/VatCommands.h"
#include "cli/VoucherCommands.h"
#include "exchange/CsvImport.h"
#include "platform/CheckedFile.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "platform/MemoryTuning.h"
#include "platform/Numbers.h"
#include "platform/Version.h"
#include "print/DefaultPrintFont.h"
#include "register/BatchAppend.h"
#include "register/DataFolderSetup.h"
#include "register/EntryStore.h"
#include "register/Register.h"
#include "register/RestoreJournal.h"
#include "register/Sort.h"
#include "register/Startup.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"
#include "reports/FilterText.h"
#include "server/DatabaseRegister.h"
#include "station/LockWait.h"
#include "station/ServerMode.h"
#include "station/SmallRecords.h"
#include "station/StorageLocation.h"

#include <QDateTime>
#include <QDir>
#include <QGuiApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace kestrana;

namespace {

const char* const usage =
    "Użycie: kestrana-cli POLECENIE [OPCJE]\n"
    "  --version                          wypisuje wersję programu\n"
    "  init [--demo]                      zakłada folder danych w bieżącym katalogu\n"
    "  list [--view 1..5] [FILTR]         wypisuje linie listy wpisów; FILTR to\n"
    "      --kod --nazwa1 --nazwa2 --miejscowosc --adres --wojewodztwo --telefon --mail\n"
    "      --opis TEKST, --kat N, --grupa N, --umowa all|signed|terminated, --od --do DATA\n"
    "  generate --entries N [--seed S]    dopisuje N przykładowych wpisów\n"
    "  mode local | network ŚCIEŻKA       przełącza stanowisko (Admini/siec.dat)\n"
    "  check                              sprawdza pliki folderu danych\n"
    "  unlock ID                          zwalnia blokadę wpisu po przerwanym programie (na\n"
    "                                     serwerze blokady kończą się same)\n"
    "  sort --by nazwa1|nazwa2|data|kod [--desc]\n"
    "                                     sortuje wpisy rejestru\n"
    "  --wait SEKUNDY                     (przy każdym poleceniu) jak długo czekać na dane\n"
    "                                     zajęte przez inne stanowisko; domyślnie 30\n";

void printLine(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString& message) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return 1;
}

// An entry the description filter passed over: told, the command goes on.
void tellSkipped(const QString& text) {
    fail(text);
}

// Value of "--name VALUE", or `fallback` when the option is absent.
QString option(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

bool isWholeNumber(const QString& text) {
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

int badArguments(const QString& message) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return 2;
}

int runInit(const QStringList& args, const QString& today) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] != QLatin1String("--demo"))
            return badArguments(QStringLiteral("init zakłada folder danych w bieżącym katalogu i "
                                               "przyjmuje tylko --demo, nie: %1")
                                    .arg(args[i]));
    }
    // A register in files here would be taken for the workstation's register by nobody, and
    // for the register by anyone who looked.
    if (startup::readServerChoice(QDir::currentPath()))
        return fail(QStringLiteral("stanowisko pracuje z rejestrem na serwerze bazy danych "
                                   "(Admini/serwer.dat); nowy folder danych załóż w innym "
                                   "katalogu albo wróć do plików: kestrana-cli mode local"));
    installDataFolder(QDir::currentPath(), args.contains(QStringLiteral("--demo")), today);
    writeDefaultPrintFont(QDir::currentPath());
    return 0;
}

int runList(const QStringList& allArgs, const QString& today) {
    const FilterOptions filter = parseFilterOptions(allArgs);
    if (!filter.error.isEmpty())
        return fail(filter.error);
    const QStringList& args = filter.rest;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (args[i] != QLatin1String("--view"))
            return fail(QStringLiteral("nieznana opcja: %1").arg(args[i]));
    }
    const QString view = option(args, QStringLiteral("--view"), QStringLiteral("1"));
    const int mode = readLeadingInt(view);
    if (mode < 1 || mode > 5 || !isWholeNumber(view))
        return fail(QStringLiteral("--view przyjmuje liczbę od 1 do 5"));
    // A text the register cannot hold matches nothing: nothing is listed, and the user is told.
    if (const QString problem =
            unencodableFilterMessage(unencodableFilterTexts(filter.criteria), true);
        filter.given && !problem.isEmpty()) {
        fail(problem);
        return 0;
    }
    const Workstation ws = openRegister(QDir::currentPath(), today);
    Register reg(ws);
    // The list file is written on the other core while the lines go out.
    reg.setListFileInBackground(kListFileInBackgroundFrom);
    // Lines go out as they are built: a register of a million entries needs no list in memory.
    static char buffer[1 << 20];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    QByteArray out;
    reg.buildListBytes(
        static_cast<ViewMode>(mode),
        [&out](const QByteArray& line) {
            // As printLine() writes it: a line ends at a NUL character.
            const qsizetype nul = line.indexOf('\0');
            out.truncate(0);
            cp1250::appendUtf8(line.constData(), nul < 0 ? line.size() : nul, out);
            out.append('\n');
            std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
        },
        filter.given ? makeEntryFilter(filter.criteria, ws, tellSkipped) : Register::Filter());
    std::fflush(stdout);
    reg.listSource(); // the list file written, or its failure reported
    return 0;
}

// What generate added: how many entries and their IDs.
QString generatedText(qint64 count, qint32 firstId) {
    if (count == 0)
        return QStringLiteral("Nie dodano żadnego wpisu.");
    const QString ids = count == 1
                            ? QStringLiteral("ID %1").arg(firstId)
                            : QStringLiteral("ID %1–%2").arg(firstId).arg(firstId + count - 1);
    return QStringLiteral("Dodano %1 (%2).").arg(csv::entryCount(count), ids);
}

int runGenerate(const QStringList& args, const QString& today, LockWait& wait) {
    const QString entries = option(args, QStringLiteral("--entries"));
    const QString seed = option(args, QStringLiteral("--seed"), QStringLiteral("1"));
    if (!isWholeNumber(entries) || entries.toLongLong() < 0 || !isWholeNumber(seed))
        return fail(QStringLiteral("--entries przyjmuje liczbę wpisów, --seed liczbę całkowitą"));
    const Workstation ws = openRegister(QDir::currentPath(), today, &wait);
    const qint64 count = entries.toLongLong();
    const editing::Appended added =
        generateEntries(ws, count, static_cast<quint32>(seed.toLongLong()));
    printLine(generatedText(count, added.firstId));
    return 0;
}

// Writes the workstation's siec.dat: the program itself never switches to network mode.
int runMode(const QStringList& args) {
    const QString mode = args.value(1);
    const QString workDir = QDir::currentPath();
    // A new workstation's folder has no Admini yet: siec.dat is its only content.
    files::makeDirectory(resolvePath(workDir, QStringLiteral("Admini")));
    if (mode == QLatin1String("server"))
        return runServerModeCommand(args, workDir);
    startup::locateStorage(workDir); // creates siec.dat for local mode when missing
    const QString path = resolvePath(workDir, QStringLiteral("Admini/siec.dat"));
    StorageRecord siec = StorageRecord::fromBytes(files::readRecord(path, 0, StorageRecord::Size));
    if (mode == QLatin1String("local")) {
        siec.tryb = 1;
    } else if (mode == QLatin1String("network") && !args.value(2).isEmpty()) {
        const QString shared = QDir(workDir).absoluteFilePath(args.value(2));
        if (shared.size() > 200)
            return fail(QStringLiteral("ścieżka folderu sieciowego może mieć najwyżej 200 znaków"));
        siec.tryb = 2;
        siec.sciezkaSieciowa = QDir::toNativeSeparators(shared);
    } else {
        return fail(QStringLiteral("podaj: mode local, mode network ŚCIEŻKA albo mode server "
                                   "PARAMETRY"));
    }
    files::replaceFile(path, siec.toBytes());
    startup::clearServerChoice(workDir); // back from server mode, if it was on
    return 0;
}

// Exit code 2: the arguments are wrong, nothing was done.
int runSort(const QStringList& args, const QString& today, LockWait& wait) {
    static const QStringList names = {QStringLiteral("nazwa1"), QStringLiteral("nazwa2"),
                                      QStringLiteral("data"), QStringLiteral("kod")};
    const qsizetype by = args.indexOf(QStringLiteral("--by"));
    const qsizetype field = by >= 0 ? names.indexOf(args.value(by + 1)) : -1;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (i != by && i != by + 1 && args[i] != QLatin1String("--desc"))
            return badArguments(QStringLiteral("nieznana opcja: ") + args[i]);
    }
    if (field < 0)
        return badArguments(QStringLiteral("--by przyjmuje nazwa1, nazwa2, data albo kod"));
    const Workstation ws = openRegister(QDir::currentPath(), today, &wait);
    Register reg(ws);
    reg.store().sort(static_cast<SortField>(field + 1), args.contains(QStringLiteral("--desc")));
    return 0;
}

// The workstation as siec.dat names it, without creating or changing any file.
Workstation existingWorkstation(const QString& workDir) {
    Workstation ws;
    ws.workDir = workDir;
    ws.baseDir = workDir;
    if (files::exists(resolvePath(workDir, QStringLiteral("Admini/siec.dat"))))
        ws.baseDir = startup::locateStorage(workDir).baseDir;
    return ws;
}

int runCheck() {
    Workstation ws = existingWorkstation(QDir::currentPath());
    QList<CheckFinding> findings;
    if (const std::optional<QString> conninfo = startup::readServerChoice(ws.workDir)) {
        ws.server = server::openRegister(*conninfo, ws);
        findings = checkServerRegister(ws, QDateTime::currentDateTime());
    } else {
        // A restore cut short is finished first: the check then sees the register as it is.
        try {
            for (const QString& done : restoring::finishInterruptedRestore(ws))
                printLine(QStringLiteral("UWAGA: ") + done);
        } catch (const IoError& error) {
            findings.append({true, error.text()});
        }
    }
    if (const QString done = editing::finishInterruptedAppend(ws); !done.isEmpty())
        findings.append({false, done});
    findings += checkWholeDataFolder(ws, QDateTime::currentDateTime());
    bool damaged = false;
    for (const CheckFinding& finding : findings) {
        printLine((finding.damage ? QStringLiteral("BŁĄD: ") : QStringLiteral("UWAGA: ")) +
                  finding.text);
        damaged = damaged || finding.damage;
    }
    if (!damaged)
        printLine(QStringLiteral("Nie znaleziono uszkodzeń."));
    return damaged ? 1 : 0;
}

int runUnlock(const QStringList& args) {
    const QString id = args.value(1);
    if (args.size() != 2 || !isPlainId(id))
        return fail(QStringLiteral("podaj numer ID wpisu (same cyfry): unlock ID"));
    if (const std::optional<QString> conninfo = startup::readServerChoice(QDir::currentPath()))
        return runServerUnlockCommand(id, *conninfo);
    const Workstation ws = existingWorkstation(QDir::currentPath());
    const QString lock = ws.dataPath(QStringLiteral("KOSZ/") + id + QStringLiteral(".p"));
    if (!files::removeFile(lock))
        return fail(QStringLiteral("wpis %1 nie jest zablokowany").arg(id));
    printLine(QStringLiteral("Zwolniono blokadę wpisu %1.").arg(id));
    return 0;
}

int runPrint(const QStringList& args, LockWait& wait) {
    if (args.value(1) == QLatin1String("envelope"))
        return runEnvelopePrintCommand(args, QDir::currentPath());
    if (args.value(1) == QLatin1String("labels"))
        return runLabelPrintCommand(args, QDir::currentPath());
    if (args.value(1) == QLatin1String("voucher"))
        return runVoucherPrintCommand(args, QDir::currentPath(), &wait);
    const FilterOptions filter = parseFilterOptions(args);
    if (!filter.error.isEmpty()) {
        fail(filter.error);
        return 2;
    }
    if (const QString problem =
            unencodableFilterMessage(unencodableFilterTexts(filter.criteria), true);
        filter.given && !problem.isEmpty())
        fail(problem);
    printjob::FilterFactory makeFilter;
    if (filter.given)
        makeFilter = [criteria = filter.criteria](const Workstation& ws) {
            return makeEntryFilter(criteria, ws, tellSkipped);
        };
    return runPrintCommand(filter.rest, QDir::currentPath(), makeFilter);
}

// "--wait SECONDS" anywhere among the arguments, taken out of them; nothing when it is absent,
// a negative number when it is not a whole number of seconds.
std::optional<qint64> takeWaitOption(QStringList& args) {
    const qsizetype at = args.indexOf(QStringLiteral("--wait"));
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    const qint64 seconds = args.value(at + 1).toLongLong(&ok);
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    return ok && seconds >= 0 && seconds <= 24 * 3600 ? seconds : -1;
}

void printUsage() {
    std::fputs(usage, stderr);
    std::fputs(backupUsage, stderr);
    std::fputs(serverUsage, stderr);
    std::fputs(csvUsage, stderr);
    std::fputs(duplicatesUsage, stderr);
    std::fputs(emailsUsage, stderr);
    std::fputs(printCommandUsage().toUtf8().constData(), stderr);
    std::fputs(QStringLiteral("  %1\n%2drukuje kopertę wpisu do pliku PDF albo do śladu\n")
                   .arg(envelopePrintUsage(), QString(37, QLatin1Char(' ')))
                   .toUtf8()
                   .constData(),
               stderr);
    std::fputs(
        QStringLiteral("  %1\n%2drukuje etykiety adresowe listy do pliku PDF albo do śladu\n")
            .arg(labelPrintUsage(), QString(37, QLatin1Char(' ')))
            .toUtf8()
            .constData(),
        stderr);
    std::fputs(QString(voucherUsage).toUtf8().constData(), stderr);
    std::fputs(QString(vatUsage).toUtf8().constData(), stderr);
}

// Qt's own notices (a missing XDG_RUNTIME_DIR, what the offscreen platform cannot do) say
// nothing about the command's work; stderr carries only what went wrong. KESTRANA_DEBUG shows
// them again.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg || type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int runCommand(const QStringList& args, DeadlineWait& wait);

} // namespace

int main(int argc, char** argv) {
    keepFreedMemory();
    if (qEnvironmentVariableIsEmpty("KESTRANA_DEBUG"))
        qInstallMessageHandler(quietQtMessages);
    // Printing draws text, which needs a GUI application; without a display it works offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Q_INIT_RESOURCE(data);
    QStringList args = app.arguments().mid(1);
    const std::optional<qint64> waitSeconds = takeWaitOption(args);
    if (waitSeconds && *waitSeconds < 0)
        return badArguments(QStringLiteral("--wait przyjmuje liczbę sekund (0 do 86400)"));
    // Data another workstation holds are waited for this long, then the command gives up with
    // nothing written.
    DeadlineWait wait(std::chrono::seconds(waitSeconds.value_or(kDefaultLockWait.count())));
    if (args.isEmpty()) {
        printUsage();
        return 2;
    }
    const int code = runCommand(args, wait);
    // Everything the command wrote goes out now: output that never arrived (a full disk, a
    // closed pipe) is a failure, whatever the command did.
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (!flushed || std::ferror(stdout)) {
        fail(QStringLiteral("nie udało się zapisać wyniku na standardowe wyjście: %1")
                 .arg(QString::fromLocal8Bit(std::strerror(flushed ? EIO : error))));
        return code == 0 ? 1 : code;
    }
    return code;
}

namespace {

int runCommand(const QStringList& args, DeadlineWait& wait) {
    if (args.first() == QLatin1String("--version")) {
        printLine(QStringLiteral("kestrana-cli ") + programVersion());
        return 0;
    }
    const QString today = todayString(SystemClock().today());
    try {
        const QString& command = args.first();
        const std::optional<QString> serverChoice = startup::readServerChoice(QDir::currentPath());
        if (command == QLatin1String("server"))
            return runServerCommand(args, QDir::currentPath());
        if (command == QLatin1String("init"))
            return runInit(args, today);
        if (command == QLatin1String("list"))
            return runList(args, today);
        if (command == QLatin1String("generate"))
            return runGenerate(args, today, wait);
        if (command == QLatin1String("mode"))
            return runMode(args);
        if (command == QLatin1String("check"))
            return runCheck();
        if (command == QLatin1String("unlock"))
            return runUnlock(args);
        if (command == QLatin1String("sort"))
            return runSort(args, today, wait);
        if (command == QLatin1String("print"))
            return runPrint(args, wait);
        if (command == QLatin1String("export"))
            return runCsvExportCommand(args, QDir::currentPath(), today);
        if (command == QLatin1String("import"))
            return runCsvImportCommand(args, QDir::currentPath(), today, &wait);
        if (command == QLatin1String("words"))
            return runWordsCommand(args);
        if (command == QLatin1String("backup"))
            return serverChoice ? runServerBackupCommand(args, QDir::currentPath(), today,
                                                         *serverChoice, &wait)
                                : runBackupCommand(args, QDir::currentPath(), today, {}, &wait);
        if (command == QLatin1String("restore")) {
            // Files put back beside a register kept on a server would be read by nobody.
            if (serverChoice)
                return fail(QStringLiteral(
                    "stanowisko pracuje z rejestrem na serwerze bazy danych (Admini/serwer.dat); "
                    "polecenie restore działa na rejestrze w plikach. Kopię można przenieść do "
                    "pustego rejestru na serwerze: kestrana-cli server import KOPIE/NAZWA"));
            return runRestoreCommand(args, QDir::currentPath(), today, &wait);
        }
        if (command == QLatin1String("duplicates"))
            return runDuplicatesCommand(args, QDir::currentPath(), today);
        if (command == QLatin1String("emails"))
            return runEmailsCommand(args, QDir::currentPath(), today);
        if (command == QLatin1String("lookup"))
            return runLookupCommand(args, today);
    } catch (const IoError& e) {
        return fail(e.text());
    } catch (const startup::NotReady&) {
        return 1; // start-up has said why
    }
    printUsage();
    return 2;
}

} // namespace
