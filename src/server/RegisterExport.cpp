#include "server/RegisterExport.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "register/EntryRecord.h"
#include "server/BinaryCopy.h"
#include "server/RegisterFiles.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "station/Workstation.h"

#include <QHash>

#include <cerrno>

namespace kestrana::server {

namespace {

const QString step = QStringLiteral("Zapis rejestru z serwera do folderu");
constexpr qint64 kProgressBatch = 8192;

// A folder below the base directory, in the spelling it has there, created when missing.
QString folderIn(const QString& base, const QString& name) {
    const QString dir = resolvePath(base, name);
    files::makeDirectory(dir);
    return dir;
}

QString fileIn(const QString& base, const QString& subPath) {
    return folderIn(base, subPath.section(QLatin1Char('/'), 0, -2)) + QLatin1Char('/') +
           subPath.section(QLatin1Char('/'), -1);
}

void writeWhole(const QString& path, QByteArrayView bytes) {
    files::FileWriter writer(path, files::FileWriter::Mode::Truncate);
    writer.write(bytes);
    writer.commit();
}

void exportEntries(Connection& connection, const Workstation& ws, const ExportOptions& options,
                   ExportReport& report) {
    files::FileWriter writer(fileIn(ws.baseDir, QStringLiteral("DANE/") + ws.mainFileName),
                             files::FileWriter::Mode::Truncate);
    copy::Reader reader([&](const std::vector<QByteArrayView>& fields) {
        if (fields.size() != 1 || fields[0].size() != EntryRecord::Size)
            throw ServerError(ServerError::Kind::Register, step, connection.server(),
                              QStringLiteral("Wpis na serwerze nie ma 1678 bajtów."));
        writer.write(fields[0]);
        if (++report.entries % kProgressBatch == 0 && options.progress)
            options.progress(report.entries);
    });
    // The index on ord gives the order; a sort of every record in the server's memory would
    // cost far more than reading them by the index.
    connection.exec(step, "SET LOCAL enable_sort = off");
    connection.copyOut(step,
                       "COPY (SELECT record FROM kestrana.entries ORDER BY ord) "
                       "TO STDOUT (FORMAT binary)",
                       [&](QByteArrayView piece) { reader.take(piece); });
    reader.finish();
    writer.commit();
    if (options.progress)
        options.progress(report.entries);
}

void exportRecords(Connection& connection, const Workstation& ws, ExportReport& report) {
    const Result rows = connection.exec(step, "SELECT name, content FROM kestrana.records");
    QHash<QString, QByteArray> byName;
    for (int row = 0; row < rows.rows(); ++row)
        byName.insert(rows.text(row, 0), rows.bytes(row, 1));
    for (const RecordFile& file : recordFiles(ws)) {
        const auto found = byName.constFind(file.name);
        if (found == byName.constEnd())
            continue;
        writeWhole(fileIn(ws.baseDir, file.subPath), found.value());
        report.records.append(file.subPath);
    }
}

void exportDescriptions(Connection& connection, const Workstation& ws, ExportReport& report) {
    const QString dir = folderIn(ws.baseDir, QStringLiteral("OPISY"));
    copy::Reader reader([&](const std::vector<QByteArrayView>& fields) {
        const QString id = QString::fromUtf8(fields.at(0));
        // The table allows plain IDs only; checked again because the ID becomes a file name.
        if (!id.isEmpty() && !isPlainId(id))
            throw ServerError(ServerError::Kind::Register, step, connection.server(),
                              QStringLiteral("Opis firmy o niedozwolonym ID: ") + id);
        writeWhole(dir + QLatin1Char('/') + descriptionFileName(ws, id), fields.at(1));
        ++report.descriptions;
    });
    connection.copyOut(step,
                       "COPY (SELECT entry_id, content FROM kestrana.descriptions) "
                       "TO STDOUT (FORMAT binary)",
                       [&](QByteArrayView piece) { reader.take(piece); });
    reader.finish();
}

} // namespace

ExportReport exportRegister(Connection& connection, const QString& folder,
                            const ExportOptions& options) {
    Workstation ws;
    ws.workDir = folder;
    ws.baseDir = folder;
    files::makeDirectory(folder);
    ExportReport report;
    // One snapshot for every table; reading blocks no one.
    Transaction transaction(connection, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    schema::requireCurrent(connection);
    exportEntries(connection, ws, options, report);
    exportRecords(connection, ws, report);
    exportDescriptions(connection, ws, report);
    transaction.commit();
    return report;
}

} // namespace kestrana::server
