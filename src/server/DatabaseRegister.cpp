#include "server/DatabaseRegister.h"

#include "server/RegisterExport.h"
#include "server/RegisterFiles.h"
#include "server/Schema.h"
#include "server/ServerError.h"

namespace kestrana::server {

namespace {

const QString opRecord = QStringLiteral("Odczyt danych z serwera");
const QString opChange = QStringLiteral("Zapis danych na serwerze");
const QString opDescription = QStringLiteral("Opis firmy na serwerze");
const QString opFirst = QStringLiteral("Założenie pierwszego wpisu na serwerze");

// The row of kestrana.records that holds a record.
QString rowName(RegisterServer::Record record) {
    switch (record) {
    case RegisterServer::Record::IdCounter:
        return QStringLiteral("id_counter");
    case RegisterServer::Record::Company:
        return QStringLiteral("company");
    case RegisterServer::Record::CategoryNames:
        return QStringLiteral("category_names");
    case RegisterServer::Record::KpCounter:
        return QStringLiteral("kp_counter");
    case RegisterServer::Record::KwCounter:
        break;
    }
    return QStringLiteral("kw_counter");
}

std::unique_ptr<ServerLink> connect(const QString& conninfo) {
    try {
        return std::make_unique<ServerLink>(conninfo);
    } catch (const ServerError& error) {
        if (error.kind() != ServerError::Kind::Unreachable)
            throw;
        throw ServerUnreachable(error.operation(), error.path(), error.platformText());
    }
}

} // namespace

DatabaseRegister::DatabaseRegister(const QString& conninfo, const Workstation& local)
    : link_(connect(conninfo)), lockWait_(local.lockWait) {
    schema::requireCurrent(link_->connection());
    store_ = std::make_unique<ServerStore>(*link_, local);
    heldFiles_ = {QStringLiteral("DANE/") + local.mainFileName, QStringLiteral("OPISY")};
    for (const RecordFile& file : recordFiles(local))
        heldFiles_.append(file.subPath);
}

DatabaseRegister::~DatabaseRegister() = default;

std::optional<QByteArray> DatabaseRegister::read(Record record) {
    const Result rows =
        link_->connection().exec(opRecord, "SELECT content FROM kestrana.records WHERE name = $1",
                                 Params().addText(rowName(record)));
    if (rows.rows() == 0)
        return std::nullopt;
    return rows.bytes(0, 0);
}

bool DatabaseRegister::create(Record record, const QByteArray& content) {
    // Nearly always there: looked at without a transaction of its own.
    if (read(record))
        return false;
    bool created = false;
    link_->transact(opChange, lockWait_, [&](Connection& c) {
        created = c.exec(opChange,
                         "INSERT INTO kestrana.records (name, content) VALUES ($1, $2) "
                         "ON CONFLICT (name) DO NOTHING RETURNING true",
                         Params().addText(rowName(record)).addBytes(content))
                      .rows() == 1;
    });
    return created;
}

void DatabaseRegister::change(Record record, const Change& change) {
    link_->transact(opChange, lockWait_, [&](Connection& c) {
        const Result rows = c.exec(opChange,
                                   "SELECT content FROM kestrana.records WHERE name = $1 "
                                   "FOR UPDATE",
                                   Params().addText(rowName(record)));
        const std::optional<QByteArray> content =
            rows.rows() == 0 ? std::nullopt : std::optional<QByteArray>(rows.bytes(0, 0));
        c.exec(opChange,
               "INSERT INTO kestrana.records (name, content) VALUES ($1, $2) "
               "ON CONFLICT (name) DO UPDATE SET content = excluded.content",
               Params().addText(rowName(record)).addBytes(change(content)));
    });
}

std::optional<QByteArray> DatabaseRegister::description(const QString& id) {
    const Result rows = link_->connection().exec(
        opDescription, "SELECT content FROM kestrana.descriptions WHERE entry_id = $1",
        Params().addText(id));
    if (rows.rows() == 0)
        return std::nullopt;
    return rows.bytes(0, 0);
}

void DatabaseRegister::storeDescription(const QString& id, const QByteArray& content) {
    link_->transact(opDescription, lockWait_, [&](Connection& c) {
        c.exec(opDescription,
               "INSERT INTO kestrana.descriptions (entry_id, content) VALUES ($1, $2) "
               "ON CONFLICT (entry_id) DO UPDATE SET content = excluded.content",
               Params().addText(id).addBytes(content));
    });
}

QHash<QString, QByteArray> DatabaseRegister::descriptionsContaining(const QByteArray& bytes) {
    const Result rows = link_->connection().exec(
        opDescription,
        "SELECT entry_id, content FROM kestrana.descriptions WHERE position($1 IN content) > 0",
        Params().addBytes(bytes));
    QHash<QString, QByteArray> found;
    for (int i = 0; i < rows.rows(); ++i)
        found.insert(rows.text(i, 0), rows.bytes(i, 1));
    return found;
}

bool DatabaseRegister::createFirstEntry(const EntryRecord& first) {
    // A register with entries is left alone without the table lock below, so that a start-up
    // does not wait for another workstation's sort.
    if (link_->connection()
            .exec(opFirst, "SELECT EXISTS (SELECT FROM kestrana.entries)")
            .boolean(0, 0))
        return false;
    bool created = false;
    link_->transact(opFirst, lockWait_, [&](Connection& c) {
        // Two workstations starting at once on an empty register: the second waits and then
        // finds the first one's entry.
        c.exec(opFirst, "LOCK TABLE kestrana.entries IN SHARE ROW EXCLUSIVE MODE");
        created = c.exec(opFirst,
                         "INSERT INTO kestrana.entries (ord, record) SELECT 1, $1 "
                         "WHERE NOT EXISTS (SELECT FROM kestrana.entries) RETURNING true",
                         Params().addBytes(QByteArrayView(first.data(), EntryRecord::Size)))
                      .rows() == 1;
    });
    return created;
}

void DatabaseRegister::exportTo(const QString& folder) {
    exportRegister(link_->connection(), folder);
}

QStringList DatabaseRegister::heldFiles() const {
    return heldFiles_;
}

std::shared_ptr<RegisterServer> openRegister(const QString& conninfo, const Workstation& local) {
    return std::make_shared<DatabaseRegister>(conninfo, local);
}

} // namespace kestrana::server
