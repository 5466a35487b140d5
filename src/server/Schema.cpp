#include "server/Schema.h"

#include "server/ServerError.h"

namespace kestrana::server::schema {

namespace {

// Version 1. Entries keep the 1678 bytes of their file record, so nothing is lost or changed on
// the way and the workstation reads them with the same code as the file. The storage order is
// `ord`: the record number of an entry is its rank by `ord`, so deleting an entry moves no
// other and a sort rewrites only the numbers; `entry_key` names a row for good, whatever the
// order. The small register files (ID counter, company data, category names, voucher
// counters) are kept as their bytes too, read and changed under a row lock.
const char* const version1 = R"sql(
CREATE SCHEMA IF NOT EXISTS kestrana;
COMMENT ON SCHEMA kestrana IS 'Kestrana: rejestr producentów';

CREATE TABLE kestrana.schema_version (
    one_row boolean PRIMARY KEY DEFAULT true CHECK (one_row),
    version integer NOT NULL
);

CREATE TABLE kestrana.entries (
    entry_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    ord bigint NOT NULL,
    record bytea NOT NULL CONSTRAINT entry_record_size CHECK (octet_length(record) = 1678),
    entry_id text GENERATED ALWAYS AS
        (encode(substr(record, 2, least(get_byte(record, 0), 10)), 'escape')) STORED,
    CONSTRAINT entries_order UNIQUE (ord) DEFERRABLE INITIALLY IMMEDIATE
);
CREATE INDEX entries_entry_id ON kestrana.entries (entry_id);
COMMENT ON TABLE kestrana.entries IS
    'Wpisy: rekord 1678 bajtów jak w pliku spis_ks.dat; numer rekordu to pozycja według ord';
COMMENT ON COLUMN kestrana.entries.entry_id IS 'pole id rekordu (bajty Windows-1250)';

CREATE TABLE kestrana.records (
    name text PRIMARY KEY
        CHECK (name IN ('id_counter', 'company', 'category_names', 'kp_counter', 'kw_counter')),
    content bytea NOT NULL
);
COMMENT ON TABLE kestrana.records IS
    'Pliki id_ks.dat, firma.dat, kategorie_ks.dat, nrkp.dat i nrkw.dat, bajt w bajt';

CREATE TABLE kestrana.descriptions (
    entry_id text PRIMARY KEY CHECK (entry_id ~ '^(-[0-9]{1,9}|[0-9]{1,10}|)$'),
    content bytea NOT NULL
);
COMMENT ON TABLE kestrana.descriptions IS
    'Opisy firm: treść plików OPISY/opis_ks_<id>.dat (Windows-1250, CR LF)';
)sql";

const QString initStep = QStringLiteral("Zakładanie rejestru na serwerze");

qint64 lockObject(RegisterLock lock) {
    return static_cast<qint64>(lock);
}

} // namespace

const std::vector<Migration>& migrations() {
    static const std::vector<Migration> steps = {{1, version1}};
    return steps;
}

int installedVersion(Connection& connection) {
    const QString step = QStringLiteral("Odczyt wersji rejestru na serwerze");
    const Result exists =
        connection.exec(step, "SELECT to_regclass('kestrana.schema_version') IS NOT NULL");
    if (!exists.boolean(0, 0))
        return 0;
    const Result version = connection.exec(step, "SELECT version FROM kestrana.schema_version");
    return version.rows() == 0 ? 0 : version.int32(0, 0);
}

InitResult initialize(Connection& connection, const std::vector<Migration>& steps) {
    Transaction transaction(connection);
    connection.exec(initStep, "SELECT pg_advisory_xact_lock($1, $2)",
                    Params().addInt32(kLockClass).addInt32(lockObject(RegisterLock::Schema)));
    InitResult result;
    result.from = installedVersion(connection);
    result.to = steps.empty() ? 0 : steps.back().version;
    if (result.from > result.to)
        throw ServerError(ServerError::Kind::Register, initStep, connection.server(),
                          QStringLiteral("Rejestr w bazie ma nowszy układ (wersja %1) niż ten "
                                         "program (wersja %2). Zainstaluj nowszą wersję programu.")
                              .arg(result.from)
                              .arg(result.to));
    if (result.from == result.to)
        return result;
    for (const Migration& migration : steps) {
        if (migration.version > result.from)
            connection.execScript(initStep + QStringLiteral(" (wersja %1)").arg(migration.version),
                                  migration.sql);
    }
    connection.exec(initStep,
                    "INSERT INTO kestrana.schema_version (version) VALUES ($1) "
                    "ON CONFLICT (one_row) DO UPDATE SET version = excluded.version",
                    Params().addInt32(result.to));
    transaction.commit();
    return result;
}

void requireCurrent(Connection& connection) {
    const int version = installedVersion(connection);
    if (version == kCurrentVersion)
        return;
    const QString step = QStringLiteral("Sprawdzenie rejestru na serwerze");
    QString text;
    if (version == 0)
        text = QStringLiteral("W bazie nie ma rejestru Kestrany. Załóż go poleceniem: "
                              "kestrana-cli server init");
    else if (version < kCurrentVersion)
        text = QStringLiteral("Rejestr w bazie ma starszy układ (wersja %1; program używa wersji "
                              "%2). Uaktualnij go poleceniem: kestrana-cli server init")
                   .arg(version)
                   .arg(kCurrentVersion);
    else
        text = QStringLiteral("Rejestr w bazie ma nowszy układ (wersja %1) niż ten program "
                              "(wersja %2). Zainstaluj nowszą wersję programu.")
                   .arg(version)
                   .arg(kCurrentVersion);
    throw ServerError(ServerError::Kind::Register, step, connection.server(), text);
}

} // namespace kestrana::server::schema
