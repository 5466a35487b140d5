#include "register/Startup.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/Prompts.h"
#include "register/BatchAppend.h"
#include "register/EntryRecord.h"
#include "register/RestoreJournal.h"
#include "register/StartupFiles.h"
#include "station/DataDirectories.h"
#include "station/ServerMode.h"
#include "station/StorageLocation.h"

#include <QDir>
#include <QFileInfo>

namespace kestrana::startup {

namespace {

// The register never creates its directories unasked: missing ones are named and offered in one
// question. Without a `required` one the register cannot work; without an `optional` one only
// the function that needs it fails, so declining those lets the start go on, the user told what
// will not work.
bool ensureDirectories(Report& report, const QString& dir, const QStringList& required,
                       const QStringList& optional, Prompts& prompts) {
    const QStringList missingRequired = missingDirectories(dir, required);
    const QStringList missingOptional = missingDirectories(dir, optional);
    const QStringList missing = missingRequired + missingOptional;
    if (missing.isEmpty())
        return true;
    for (const QString& name : missing)
        report.missingDirectories.append(resolvePath(dir, name));
    const QString where = QDir::toNativeSeparators(dir);
    const QString list = missing.join(QStringLiteral(", "));
    if (prompts.question(
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: %2.\nUtworzyć je ?")
                .arg(where, list))) {
        createDataDirectories(dir, missing);
        for (const QString& name : missing)
            report.createdDirectories.append(resolvePath(dir, name));
        return true;
    }
    if (!missingRequired.isEmpty()) {
        prompts.information(
            QStringLiteral("Program nie może pracować bez katalogów danych (%1) w folderze %2.\n"
                           "Utwórz je albo wskaż inny folder danych w pliku Admini/siec.dat.")
                .arg(missingRequired.join(QStringLiteral(", ")), where));
        return false;
    }
    QStringList purposes;
    for (const QString& name : missingOptional)
        purposes.append(directoryPurpose(name));
    prompts.information(QStringLiteral("Bez katalogów %1 w folderze %2 nie zadziałają: %3.")
                            .arg(missingOptional.join(QStringLiteral(", ")), where,
                                 purposes.join(QStringLiteral(", "))));
    return true;
}

// Whether two folders are one (the working directory is often the base directory as well).
bool sameFolder(const QString& a, const QString& b) {
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty() ? first == QFileInfo(b).canonicalFilePath()
                            : QDir::cleanPath(a) == QDir::cleanPath(b);
}

// False when the shared folder of a network workstation cannot be reached; the user has then
// been asked whether to switch back to local mode for the next start.
bool networkReachable(const QString& workDir, Prompts& prompts) {
    const NetworkState network = checkNetwork(workDir);
    if (!network.networkMode || network.reachable)
        return true;
    if (prompts.question(captionInformation(), networkQuestion())) {
        switchToLocal(workDir, network.record);
        prompts.information(QStringLiteral("Uruchom ponownie program"));
    }
    return false;
}

// False when the register on the server cannot be worked with; the report's outcome says how
// start-up ends.
bool openServer(Report& report, const Request& request, const QString& conninfo, Prompts& prompts) {
    try {
        report.ws.server = request.openServer(conninfo, report.ws);
    } catch (const ServerUnreachable& error) {
        prompts.error(error.text());
        if (prompts.question(captionInformation(), networkQuestion())) {
            clearServerChoice(report.ws.workDir);
            prompts.information(QStringLiteral("Uruchom ponownie program"));
        }
        report.outcome = Report::Outcome::EndProgram;
        return false;
    }
    return true;
}

// The register's records on the server, created with the defaults of their files when missing.
// The paths in the report are those the files have in a file register.
void prepareServerRecords(Report& report) {
    Workstation& ws = report.ws;
    RegisterServer& server = *ws.server;
    using Record = RegisterServer::Record;
    if (server.create(Record::Company, QByteArray(CompanyRecord::Size, '\0')))
        report.createdFiles.append(ws.firmaFile());
    ws.firma = CompanyRecord::fromBytes(server.read(Record::Company).value_or(QByteArray()));
    if (server.create(Record::IdCounter, int32Bytes(2)))
        report.createdFiles.append(ws.idFile());
    if (server.create(Record::CategoryNames, CategoryNames::defaults().toBytes()))
        report.createdFiles.append(ws.categoriesFile());
    report.names =
        CategoryNames::fromBytes(server.read(Record::CategoryNames).value_or(QByteArray()));
    if (server.createFirstEntry(firstEntryRecord()))
        report.createdFiles.append(ws.mainFile());
}

void prepareFiles(Report& report) {
    Workstation& ws = report.ws;
    bool created = false;
    ws.firma = prepareCompanyFile(ws, &created);
    if (created)
        report.createdFiles.append(ws.firmaFile());
    // A counter lost with the register's entries in place starts after the largest ID (check
    // names the value), so that no ID is given twice.
    if (prepareIdCounter(ws))
        report.createdFiles.append(ws.idFile());
    report.names = prepareCategoryNames(ws, &created);
    if (created)
        report.createdFiles.append(ws.categoriesFile());
    if (prepareMainFile(ws))
        report.createdFiles.append(ws.mainFile());
    prepareLockFiles(ws);
}

// What start-up repaired is told; nothing is said when there was nothing to do.
void tell(Prompts& prompts, const QString& done) {
    if (!done.isEmpty())
        prompts.information(done);
}

// Every question answered No; what would have been shown is kept.
class Unattended : public Prompts {
public:
    using Prompts::question;
    bool question(const QString&, const QString& text) override {
        shown.append(text);
        return false;
    }
    void information(const QString& text) override { shown.append(text); }
    void error(const QString& text) override { shown.append(text); }

    QStringList shown;
};

} // namespace

Report start(const Request& request, Prompts& prompts) {
    Report report;
    Workstation& ws = report.ws;
    ws.workDir = request.workDir;
    ws.boss = request.boss;
    ws.today = request.today;
    ws.lockWait = request.lockWait;
    ws.faults = request.faults;
    try {
        const std::optional<QString> conninfo = readServerChoice(ws.workDir);
        report.serverMode = conninfo.has_value();
        if (conninfo && !request.openServer) {
            prompts.information(serverModeText());
            return report;
        }
        if (!ensureDirectories(report, ws.workDir, {QStringLiteral("ADMINI")}, {}, prompts))
            return report;
        const bool storageFileExisted = files::exists(storageFile(ws.workDir));
        const StorageLocation location = locateStorage(ws.workDir);
        if (!storageFileExisted)
            report.createdFiles.append(storageFile(ws.workDir));
        ws.tryb = location.tryb;
        ws.baseDir = location.baseDir;
        report.located = true;
        if (!networkReachable(ws.workDir, prompts)) {
            report.outcome = Report::Outcome::EndProgram;
            return report;
        }
        // An unreachable server is asked about before anything local, as a shared folder is.
        if (conninfo && !openServer(report, request, *conninfo, prompts))
            return report;
        QStringList directories = dataDirectoryNames();
        if (conninfo)
            directories.removeAll(QStringLiteral("OPISY"));
        // FONT lies under the working directory: offered with the others when that is the base
        // directory too, else on its own.
        const bool fontsHere = sameFolder(ws.workDir, ws.baseDir);
        QStringList optional = functionDirectoryNames();
        if (fontsHere)
            optional.append(fontDirectoryName());
        if (!ensureDirectories(report, ws.baseDir, directories, optional, prompts))
            return report;
        if (!fontsHere)
            ensureDirectories(report, ws.workDir, {}, {fontDirectoryName()}, prompts);
        tell(prompts, editing::finishInterruptedAppend(ws));
        if (conninfo) {
            prepareServerRecords(report);
        } else {
            // A restore cut short is finished before anything reads the register.
            for (const QString& done : restoring::finishInterruptedRestore(ws))
                prompts.information(done);
            prepareFiles(report);
        }
        report.outcome = Report::Outcome::Ready;
    } catch (const IoError& error) {
        report.failure = error;
        prompts.error(error.text());
    }
    return report;
}

Workstation prepareWorkstation(const Request& request, Prompts& prompts) {
    Report report = start(request, prompts);
    if (!report.ready())
        throw NotReady();
    return report.ws;
}

Workstation prepareWorkstation(const QString& workDir, bool boss, const QString& today,
                               LockWait* wait, const ServerOpener& openServer) {
    Unattended prompts;
    Request request{workDir, boss, today, wait};
    request.openServer = openServer;
    const Report report = start(request, prompts);
    if (report.failure)
        throw *report.failure;
    if (!report.ready())
        throw IoError(QStringLiteral("Start programu"), workDir,
                      prompts.shown.join(QLatin1Char('\n')));
    return report.ws;
}

} // namespace kestrana::startup
