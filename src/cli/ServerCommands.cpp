#include "cli/ServerCommands.h"

#include "cli/BackupCommand.h"
#include "platform/CheckedFile.h"
#include "platform/FileTree.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "server/PgConnection.h"
#include "server/RegisterExport.h"
#include "server/RegisterFiles.h"
#include "server/RegisterImport.h"
#include "server/Schema.h"
#include "server/ServerChoice.h"
#include "server/ServerError.h"
#include "station/DataDirectories.h"
#include "station/ServerMode.h"
#include "station/StorageLocation.h"
#include "station/Workstation.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace kestrana {

const char* const serverUsage =
    "  mode server PARAMETRY              przełącza stanowisko na rejestr na serwerze\n"
    "                                     PostgreSQL (parametry połączenia libpq, bez hasła:\n"
    "                                     hasło w ~/.pgpass); mode local|network wraca do plików\n"
    "  server init [--server PARAMETRY]   zakłada albo uaktualnia rejestr w bazie\n"
    "  server import FOLDER [--server PARAMETRY]\n"
    "                                     przenosi rejestr z folderu do pustego rejestru w bazie\n"
    "  server export FOLDER [--server PARAMETRY]\n"
    "                                     zapisuje rejestr z bazy jako nowy folder danych\n";

namespace {

void printLine(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
}

int fail(const QString& message, int code) {
    std::fprintf(stderr, "kestrana-cli: %s\n", message.toUtf8().constData());
    return code;
}

const QString refusal = QStringLiteral(
    "stanowisko pracuje z rejestrem na serwerze bazy danych (Admini/serwer.dat); polecenie %1 "
    "działa na rejestrze w plikach. Rejestr z serwera zapisze do folderu: kestrana-cli server "
    "export FOLDER; powrót do plików: kestrana-cli mode local");

// The server's connection string: --server, else the workstation's choice.
QString chosenServer(const QStringList& args, const QString& workDir, QString& problem) {
    const qsizetype at = args.indexOf(QStringLiteral("--server"));
    if (at >= 0) {
        const QString given = args.value(at + 1);
        problem = server::connectionStringProblem(given);
        return given;
    }
    const std::optional<QString> choice = startup::readServerChoice(workDir);
    if (!choice)
        problem = QStringLiteral("stanowisko nie pracuje z serwerem: podaj --server PARAMETRY "
                                 "albo przełącz je: kestrana-cli mode server PARAMETRY");
    return choice.value_or(QString());
}

int runInit(server::Connection& connection) {
    const server::schema::InitResult result = server::schema::initialize(connection);
    if (result.from == result.to)
        printLine(QStringLiteral("Rejestr na serwerze jest aktualny (wersja %1).").arg(result.to));
    else if (result.from == 0)
        printLine(QStringLiteral("Założono rejestr na serwerze (wersja %1).").arg(result.to));
    else
        printLine(QStringLiteral("Uaktualniono rejestr na serwerze z wersji %1 do %2.")
                      .arg(result.from)
                      .arg(result.to));
    return 0;
}

int runImport(server::Connection& connection, const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("nie ma folderu %1").arg(QDir::toNativeSeparators(folder)), 1);
    const server::ImportReport report = server::importRegister(connection, folder);
    printLine(QStringLiteral("Przeniesiono na serwer: %1 wpisów, %2 opisów firm.")
                  .arg(report.entries)
                  .arg(report.descriptions));
    for (const QString& file : report.records)
        printLine(QStringLiteral("Przeniesiono plik %1.").arg(file));
    if (report.partialBytes > 0)
        printLine(QStringLiteral("Pominięto niepełny ostatni rekord pliku głównego (%1 bajtów), "
                                 "którego program nigdy nie czyta.")
                      .arg(report.partialBytes));
    for (const QString& file : report.skipped)
        printLine(QStringLiteral("Pominięto (nie jest opisem firmy): %1").arg(file));
    return 0;
}

bool isEmptyDirectory(const QString& path) {
    return QFileInfo(path).isDir() && files::listFolder(path).isEmpty();
}

void syncFileSystem(const QString& path) {
    files::posix::Fd fd(path, O_RDONLY | O_DIRECTORY);
    if (::syncfs(fd.get()) != 0)
        files::posix::fail(QStringLiteral("Utrwalenie plików na dysku"), path);
    fd.close();
}

// The register is written into a folder beside the target and renamed into place only when
// whole, so the target never holds half a register.
int runExport(server::Connection& connection, const QString& target) {
    if (QFileInfo::exists(target) && !isEmptyDirectory(target))
        return fail(QStringLiteral("folder %1 już istnieje i nie jest pusty; podaj nowy folder")
                        .arg(QDir::toNativeSeparators(target)),
                    1);
    const QString building =
        target + QStringLiteral(".tmp.") + QString::number(static_cast<qint64>(::getpid()));
    server::ExportReport report;
    try {
        files::makeNewDirectory(building);
        report = server::exportRegister(connection, building);
        // The rest of a data folder, so that the program opens it in local mode.
        startup::createDataDirectories(building, startup::missingDataDirectories(building));
        syncFileSystem(building);
        if (::rename(files::posix::native(building).constData(),
                     files::posix::native(target).constData()) != 0)
            files::posix::fail(QStringLiteral("Zmiana nazwy katalogu"), building);
    } catch (const IoError&) {
        try {
            files::removeTree(building);
        } catch (const IoError&) {
        }
        throw;
    }
    printLine(QStringLiteral("Zapisano rejestr z serwera w folderze %1: %2 wpisów, %3 opisów "
                             "firm.")
                  .arg(QDir::toNativeSeparators(target))
                  .arg(report.entries)
                  .arg(report.descriptions));
    return 0;
}

} // namespace

int runServerCommand(const QStringList& args, const QString& workDir) {
    const QString action = args.value(1);
    QStringList folders;
    bool serverGiven = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (args[i] != QLatin1String("--server")) {
            folders.append(args[i]);
            continue;
        }
        serverGiven = i + 1 < args.size();
        ++i;
    }
    const bool needsFolder = action == QLatin1String("import") || action == QLatin1String("export");
    if ((action != QLatin1String("init") && !needsFolder) ||
        folders.size() != (needsFolder ? 1 : 0) ||
        (args.contains(QStringLiteral("--server")) && !serverGiven))
        return fail(QStringLiteral("podaj: server init | server import FOLDER | server export "
                                   "FOLDER [--server PARAMETRY]"),
                    2);
    try {
        QString problem;
        const QString conninfo = chosenServer(args, workDir, problem);
        if (!problem.isEmpty())
            return fail(problem, 2);
        server::Connection connection(conninfo);
        if (action == QLatin1String("init"))
            return runInit(connection);
        const QString folder = QDir::cleanPath(QDir(workDir).absoluteFilePath(folders.first()));
        if (action == QLatin1String("import"))
            return runImport(connection, folder);
        return runExport(connection, folder);
    } catch (const IoError& error) {
        return fail(error.text(), 1);
    }
}

int runServerModeCommand(const QStringList& args, const QString& workDir) {
    if (args.size() != 3)
        return fail(QStringLiteral("podaj: mode server PARAMETRY"), 2);
    const QString conninfo = args[2];
    const QString problem = server::connectionStringProblem(conninfo);
    if (!problem.isEmpty())
        return fail(problem, 2);
    try {
        // A workstation is switched only to a server that answers.
        server::Connection connection(conninfo);
        const int version = server::schema::installedVersion(connection);
        startup::locateStorage(workDir); // siec.dat names the local part's base directory
        startup::writeServerChoice(workDir, conninfo);
        printLine(QStringLiteral("Stanowisko pracuje z rejestrem na serwerze: %1.")
                      .arg(connection.server()));
        if (version == 0)
            printLine(QStringLiteral("W bazie nie ma jeszcze rejestru: załóż go poleceniem "
                                     "kestrana-cli server init."));
    } catch (const IoError& error) {
        return fail(error.text(), 1);
    }
    return 0;
}

int runServerBackupCommand(const QStringList& args, const QString& workDir, const QString& today,
                           const QString& conninfo, LockWait* wait) {
    std::optional<server::Connection> connection;
    try {
        connection.emplace(conninfo);
    } catch (const IoError& error) {
        return fail(QStringLiteral("kopia zapasowa nie powiodła się: %1").arg(error.text()), 1);
    }
    // What the server holds comes from it; the local copies of those files, if any, are stale.
    QStringList serverFiles = {QStringLiteral("serwer.dat")};
    for (const server::RecordFile& file : server::recordFiles(Workstation{}))
        serverFiles.append(file.subPath.section(QLatin1Char('/'), -1));
    backup::Source source;
    source.folders = {QStringLiteral("ADMINI"), QStringLiteral("DOKUMENTY")};
    source.keep = [serverFiles](const QString& name) {
        return !serverFiles.contains(name, Qt::CaseInsensitive);
    };
    source.addRegister = [&connection](const QString& copy) {
        server::exportRegister(*connection, copy);
    };
    return runBackupCommand(args, workDir, today, source, wait);
}

bool refusedInServerMode(const QString& command) {
    static const QStringList fileCommands = {
        QStringLiteral("list"),   QStringLiteral("generate"), QStringLiteral("sort"),
        QStringLiteral("check"),  QStringLiteral("unlock"),   QStringLiteral("print"),
        QStringLiteral("export"), QStringLiteral("import"),   QStringLiteral("restore")};
    if (!fileCommands.contains(command))
        return false;
    fail(refusal.arg(command), 1);
    return true;
}

} // namespace kestrana
