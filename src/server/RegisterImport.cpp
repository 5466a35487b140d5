#include "server/RegisterImport.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/FileTree.h"
#include "register/CategoryNames.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"
#include "server/BinaryCopy.h"
#include "server/RegisterFiles.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <QHash>

#include <cerrno>

namespace kestrana::server {

namespace {

const QString step = QStringLiteral("Przeniesienie rejestru na serwer");
constexpr qint64 kProgressBatch = 8192;

Workstation folderRegister(const QString& folder) {
    Workstation ws;
    ws.workDir = folder;
    ws.baseDir = folder;
    return ws;
}

// Whether the register holds only what a workstation's start-up creates on an empty one: the
// first entry and the default records, untouched. Such a register counts as empty, so that a
// workstation switched to the server before the import does not stand in the import's way.
bool onlyStartupDefaults(Connection& connection) {
    const Result entries = connection.exec(step, "SELECT record FROM kestrana.entries LIMIT 2");
    const EntryRecord first = firstEntryRecord();
    if (entries.rows() > 1 ||
        (entries.rows() == 1 && entries.bytes(0, 0) != QByteArray(first.data(), EntryRecord::Size)))
        return false;
    const QHash<QString, QByteArray> defaults = {
        {QStringLiteral("company"), QByteArray(CompanyRecord::Size, '\0')},
        {QStringLiteral("id_counter"), int32Bytes(2)},
        {QStringLiteral("category_names"), CategoryNames::defaults().toBytes()},
    };
    const Result records = connection.exec(step, "SELECT name, content FROM kestrana.records");
    for (int row = 0; row < records.rows(); ++row) {
        const auto found = defaults.constFind(records.text(row, 0));
        if (found == defaults.constEnd() || *found != records.bytes(row, 1))
            return false;
    }
    return !connection.exec(step, "SELECT EXISTS (SELECT FROM kestrana.descriptions)")
                .boolean(0, 0);
}

void requireEmpty(Connection& connection) {
    if (!onlyStartupDefaults(connection))
        throw ServerError(ServerError::Kind::Register, step, connection.server(),
                          QStringLiteral("Rejestr na serwerze nie jest pusty; rejestr z folderu "
                                         "można przenieść tylko do pustego."));
    connection.exec(step, "DELETE FROM kestrana.entries");
    connection.exec(step, "DELETE FROM kestrana.records");
}

void copyEntries(Connection& connection, const Workstation& ws, const ImportOptions& options,
                 ImportReport& report) {
    const QString mainFile = ws.mainFile();
    if (!files::exists(mainFile))
        throw IoError(QStringLiteral("Brak rejestru w folderze"), mainFile, ENOENT);
    // A program still working on the folder finishes its save, deletion or sort first, so the
    // entries are read as a whole, as the backup reads them.
    FileLock lock(lockPathFor(mainFile));
    connection.copyIn(step, "COPY kestrana.entries (ord, record) FROM STDIN (FORMAT binary)",
                      [&](const Connection::Send& send) {
                          copy::Writer writer(send);
                          files::RecordReader reader(mainFile, EntryRecord::Size);
                          while (const char* record = reader.next()) {
                              writer.beginRow(2);
                              writer.addInt64(reader.recordsRead());
                              writer.addBytes(QByteArrayView(record, EntryRecord::Size));
                              if (reader.recordsRead() % kProgressBatch == 0 && options.progress)
                                  options.progress(reader.recordsRead());
                          }
                          reader.close();
                          report.entries = reader.recordsRead();
                          writer.finish();
                      });
    report.partialBytes = files::size(mainFile) - report.entries * EntryRecord::Size;
    if (options.progress)
        options.progress(report.entries);
}

void copyRecords(Connection& connection, const Workstation& ws, ImportReport& report) {
    for (const RecordFile& file : recordFiles(ws)) {
        const QString path = ws.dataPath(file.subPath);
        if (!files::exists(path))
            continue;
        connection.exec(step, "INSERT INTO kestrana.records (name, content) VALUES ($1, $2)",
                        Params().addText(file.name).addBytes(files::readFile(path)));
        report.records.append(file.subPath);
    }
}

// The files of OPISY that are descriptions, by ID. Where two names differ only in letter case
// the program's own spelling wins, as it does when the program looks a description up.
QHash<QString, QString> descriptionFiles(const Workstation& ws, const QString& dir,
                                         ImportReport& report) {
    QHash<QString, QString> byId;
    for (const files::FolderEntry& entry : files::listFolder(dir)) {
        const std::optional<QString> id = descriptionIdOf(ws, entry.name);
        if (!id || !entry.isRegularFile()) {
            report.skipped.append(QStringLiteral("OPISY/") + entry.name);
            continue;
        }
        const auto known = byId.constFind(*id);
        if (known == byId.constEnd()) {
            byId.insert(*id, entry.name);
            continue;
        }
        const bool exact = entry.name == descriptionFileName(ws, *id);
        report.skipped.append(QStringLiteral("OPISY/") + (exact ? known.value() : entry.name));
        if (exact)
            byId.insert(*id, entry.name);
    }
    return byId;
}

void copyDescriptions(Connection& connection, const Workstation& ws, ImportReport& report) {
    const QString dir = ws.dataPath(QStringLiteral("OPISY"));
    if (!files::isDirectory(dir))
        return;
    const QHash<QString, QString> byId = descriptionFiles(ws, dir, report);
    connection.copyIn(step,
                      "COPY kestrana.descriptions (entry_id, content) FROM STDIN (FORMAT binary)",
                      [&](const Connection::Send& send) {
                          copy::Writer writer(send);
                          for (auto it = byId.constBegin(); it != byId.constEnd(); ++it) {
                              writer.beginRow(2);
                              writer.addText(it.key());
                              writer.addBytes(files::readFile(dir + QLatin1Char('/') + it.value()));
                          }
                          writer.finish();
                      });
    report.descriptions = byId.size();
}

} // namespace

ImportReport importRegister(Connection& connection, const QString& folder,
                            const ImportOptions& options) {
    const Workstation ws = folderRegister(folder);
    schema::requireCurrent(connection);
    ImportReport report;
    Transaction transaction(connection);
    // Another workstation's change in progress is waited for, but not for ever.
    connection.exec(step, "SET LOCAL lock_timeout = '30s'");
    // Writers wait until the register is in; readers see the empty register meanwhile.
    connection.exec(step, "LOCK TABLE kestrana.entries, kestrana.records, kestrana.descriptions "
                          "IN EXCLUSIVE MODE");
    requireEmpty(connection);
    copyEntries(connection, ws, options, report);
    copyRecords(connection, ws, report);
    copyDescriptions(connection, ws, report);
    connection.exec(step, "ANALYZE kestrana.entries");
    transaction.commit();
    return report;
}

} // namespace kestrana::server
