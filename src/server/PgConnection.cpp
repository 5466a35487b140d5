#include "server/PgConnection.h"

#include "server/ServerError.h"

#include <QtEndian>

#include <libpq-fe.h>

namespace kestrana::server {

namespace {

// Type identifiers of the parameters (pg_type), fixed since PostgreSQL's beginnings.
constexpr unsigned int kInt8 = 20;
constexpr unsigned int kInt4 = 23;
constexpr unsigned int kText = 25;
constexpr unsigned int kBytea = 17;
constexpr unsigned int kInt8Array = 1016;
constexpr unsigned int kTextArray = 1009;

QString libpqText(const char* message) {
    return QString::fromUtf8(message).trimmed();
}

QString describe(PGconn* conn) {
    const auto value = [](const char* text) {
        return text && *text ? QString::fromUtf8(text) : QStringLiteral("?");
    };
    return QStringLiteral("baza %1 na serwerze %2:%3, użytkownik %4")
        .arg(value(PQdb(conn)), value(PQhost(conn)), value(PQport(conn)), value(PQuser(conn)));
}

// Notices ("relation already exists, skipping") are not for the user.
void ignoreNotice(void*, const char*) {}

} // namespace

Params& Params::addInt64(qint64 value) {
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    values_.push_back(bytes);
    types_.push_back(kInt8);
    return *this;
}

Params& Params::addInt32(qint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    values_.push_back(bytes);
    types_.push_back(kInt4);
    return *this;
}

Params& Params::addBytes(QByteArrayView value) {
    values_.push_back(value.toByteArray());
    types_.push_back(kBytea);
    return *this;
}

Params& Params::addText(const QString& value) {
    values_.push_back(value.toUtf8());
    types_.push_back(kText);
    return *this;
}

namespace {

// The binary form of a one-dimensional array without nulls: dimensions, flags, element type,
// length and lower bound, then each element with its length.
QByteArray arrayBytes(unsigned int elementType, const std::vector<QByteArray>& elements) {
    QByteArray bytes;
    const auto add = [&bytes](qint32 value) {
        char word[4];
        qToBigEndian(value, word);
        bytes.append(word, 4);
    };
    add(1);
    add(0);
    add(static_cast<qint32>(elementType));
    add(static_cast<qint32>(elements.size()));
    add(1);
    for (const QByteArray& element : elements) {
        add(static_cast<qint32>(element.size()));
        bytes.append(element);
    }
    return bytes;
}

} // namespace

Params& Params::addInt64Array(const std::vector<qint64>& values) {
    std::vector<QByteArray> elements;
    elements.reserve(values.size());
    for (const qint64 value : values) {
        QByteArray bytes(8, '\0');
        qToBigEndian(value, bytes.data());
        elements.push_back(bytes);
    }
    values_.push_back(arrayBytes(kInt8, elements));
    types_.push_back(kInt8Array);
    return *this;
}

Params& Params::addTextArray(const QStringList& values) {
    std::vector<QByteArray> elements;
    elements.reserve(values.size());
    for (const QString& value : values)
        elements.push_back(value.toUtf8());
    values_.push_back(arrayBytes(kText, elements));
    types_.push_back(kTextArray);
    return *this;
}

Result::Result(pg_result* result) : result_(result, PQclear) {}

int Result::rows() const {
    return PQntuples(result_.get());
}

bool Result::isNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}

QByteArray Result::bytes(int row, int column) const {
    return QByteArray(PQgetvalue(result_.get(), row, column),
                      PQgetlength(result_.get(), row, column));
}

QString Result::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(result_.get(), row, column),
                             PQgetlength(result_.get(), row, column));
}

qint64 Result::int64(int row, int column) const {
    return qFromBigEndian<qint64>(PQgetvalue(result_.get(), row, column));
}

qint32 Result::int32(int row, int column) const {
    return qFromBigEndian<qint32>(PQgetvalue(result_.get(), row, column));
}

bool Result::boolean(int row, int column) const {
    return *PQgetvalue(result_.get(), row, column) != 0;
}

Connection::Connection(const QString& conninfo) {
    const QByteArray info = conninfo.toUtf8();
    // Defaults first, so that the connection string may override them; then what this program
    // needs whatever the string says. A server that does not answer, or a network that drops
    // silently, ends a wait after seconds instead of the system's many minutes.
    // No query of this program gains from compiling it; JIT would only add its start-up time.
    const char* const keywords[] = {"connect_timeout",
                                    "options",
                                    "keepalives_idle",
                                    "keepalives_interval",
                                    "keepalives_count",
                                    "tcp_user_timeout",
                                    "dbname",
                                    "client_encoding",
                                    "fallback_application_name",
                                    nullptr};
    const char* const values[] = {"10",    "-c jit=off",     "30",   "10",       "3",
                                  "60000", info.constData(), "UTF8", "kestrana", nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (!conn_)
        throw ServerError(ServerError::Kind::Unreachable,
                          QStringLiteral("Połączenie z serwerem bazy danych"), QStringLiteral("?"),
                          QStringLiteral("Brak pamięci na połączenie."));
    server_ = describe(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString reason = libpqText(PQerrorMessage(conn_));
        PQfinish(conn_);
        conn_ = nullptr;
        throw ServerError(
            ServerError::Kind::Unreachable, QStringLiteral("Połączenie z serwerem bazy danych"),
            server_, QStringLiteral("Nie można połączyć się z serwerem bazy danych: ") + reason);
    }
    PQsetNoticeProcessor(conn_, ignoreNotice, nullptr);
}

Connection::~Connection() {
    if (conn_)
        PQfinish(conn_);
}

int Connection::backendPid() const {
    return PQbackendPID(conn_);
}

bool Connection::broken() const {
    return PQstatus(conn_) != CONNECTION_OK;
}

void Connection::fail(const QString& step, const QString& serverText,
                      const QString& sqlState) const {
    if (broken())
        throw ServerError(ServerError::Kind::ConnectionLost, step, server_,
                          QStringLiteral("Połączenie z serwerem bazy danych zostało przerwane; "
                                         "rozpoczęta operacja została wycofana. ") +
                              serverText);
    throw ServerError(ServerError::Kind::Refused, step, server_,
                      QStringLiteral("Serwer bazy danych odmówił: ") + serverText, sqlState);
}

void Connection::failWith(const QString& step, pg_result* result) const {
    if (!result)
        fail(step);
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    fail(step, libpqText(PQresultErrorMessage(result)),
         state ? QString::fromLatin1(state) : QString());
}

void Connection::fail(const QString& step) const {
    fail(step, libpqText(PQerrorMessage(conn_)));
}

Result Connection::exec(const QString& step, const char* sql, const Params& params) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats(params.values_.size(), 1);
    for (const QByteArray& value : params.values_) {
        values.push_back(value.constData());
        lengths.push_back(static_cast<int>(value.size()));
    }
    Result result(PQexecParams(conn_, sql, params.count(), params.types_.data(), values.data(),
                               lengths.data(), formats.data(), 1));
    const ExecStatusType status = PQresultStatus(result.result_.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        failWith(step, result.result_.get());
    return result;
}

void Connection::execScript(const QString& step, const char* sql) {
    Result result(PQexec(conn_, sql));
    if (PQresultStatus(result.result_.get()) != PGRES_COMMAND_OK)
        failWith(step, result.result_.get());
}

// Collects the results that end a copy; the last one tells whether it succeeded.
void Connection::finishCopy(const QString& step) {
    QString error;
    QString state;
    while (PGresult* raw = PQgetResult(conn_)) {
        Result result(raw);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && error.isEmpty()) {
            error = libpqText(PQresultErrorMessage(raw));
            const char* code = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
            state = code ? QString::fromLatin1(code) : QString();
        }
    }
    if (!error.isEmpty() || broken())
        fail(step, error.isEmpty() ? libpqText(PQerrorMessage(conn_)) : error, state);
}

void Connection::copyIn(const QString& step, const char* sql,
                        const std::function<void(const Send&)>& produce) {
    {
        Result start(PQexec(conn_, sql));
        if (PQresultStatus(start.result_.get()) != PGRES_COPY_IN)
            failWith(step, start.result_.get());
    }
    const Send send = [&](QByteArrayView data) {
        if (PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) != 1)
            fail(step);
    };
    try {
        produce(send);
    } catch (...) {
        // The server discards what it received and the transaction fails with it.
        if (!broken()) {
            PQputCopyEnd(conn_, "przerwane przez program");
            while (PGresult* raw = PQgetResult(conn_))
                PQclear(raw);
        }
        throw;
    }
    if (PQputCopyEnd(conn_, nullptr) != 1)
        fail(step);
    finishCopy(step);
}

void Connection::copyOut(const QString& step, const char* sql,
                         const std::function<void(QByteArrayView piece)>& consume) {
    {
        Result start(PQexec(conn_, sql));
        if (PQresultStatus(start.result_.get()) != PGRES_COPY_OUT)
            failWith(step, start.result_.get());
    }
    for (;;) {
        char* buffer = nullptr;
        const int length = PQgetCopyData(conn_, &buffer, 0);
        if (length == -1)
            break;
        if (length < 0)
            fail(step);
        std::unique_ptr<char, void (*)(void*)> piece(buffer, PQfreemem);
        try {
            consume(QByteArrayView(buffer, length));
        } catch (...) {
            // The rest is not wanted: ask the server to stop and read what is still on the way.
            if (PGcancel* cancel = PQgetCancel(conn_)) {
                char reason[256];
                PQcancel(cancel, reason, sizeof reason);
                PQfreeCancel(cancel);
            }
            char* rest = nullptr;
            while (PQgetCopyData(conn_, &rest, 0) > 0)
                PQfreemem(rest);
            while (PGresult* raw = PQgetResult(conn_))
                PQclear(raw);
            throw;
        }
    }
    finishCopy(step);
}

Transaction::Transaction(Connection& connection, const char* begin) : connection_(connection) {
    connection_.exec(QStringLiteral("Początek transakcji"), begin);
}

Transaction::~Transaction() {
    if (!open_ || connection_.broken())
        return;
    try {
        connection_.exec(QStringLiteral("Wycofanie transakcji"), "ROLLBACK");
    } catch (const ServerError&) {
        // The failure that brought us here is the one to report.
    }
}

void Transaction::commit() {
    open_ = false;
    const QString step = QStringLiteral("Zatwierdzenie zmian");
    try {
        connection_.exec(step, "COMMIT");
    } catch (const ServerError& error) {
        if (error.kind() != ServerError::Kind::ConnectionLost)
            throw;
        // The server may have committed before the connection broke: say so rather than
        // claim a rollback.
        throw ServerError(ServerError::Kind::ConnectionLost, step, connection_.server(),
                          QStringLiteral("Połączenie z serwerem bazy danych zostało przerwane "
                                         "przy zatwierdzaniu zmian; nie wiadomo, czy zostały "
                                         "zapisane."));
    }
}

} // namespace kestrana::server
