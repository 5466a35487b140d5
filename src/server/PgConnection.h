#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

// A thin, checked layer over libpq: every failure throws ServerError with the server's text,
// and a connection that breaks is told apart from a command the server refused.
namespace kestrana::server {

// The parameters of one command, sent in binary form with their types, so that record bytes
// travel as they are.
class Params {
public:
    Params& addInt64(qint64 value);
    Params& addInt32(qint32 value);
    Params& addBytes(QByteArrayView value);
    Params& addText(const QString& value);
    // One-dimensional arrays (bigint[], text[]).
    Params& addInt64Array(const std::vector<qint64>& values);
    Params& addTextArray(const QStringList& values);

    int count() const { return static_cast<int>(values_.size()); }

private:
    friend class Connection;
    std::vector<QByteArray> values_;
    std::vector<unsigned int> types_;
};

// The rows of one result, values in binary form.
class Result {
public:
    int rows() const;
    bool isNull(int row, int column) const;
    QByteArray bytes(int row, int column) const; // bytea and text as stored
    QString text(int row, int column) const;
    qint64 int64(int row, int column) const;
    qint32 int32(int row, int column) const;
    bool boolean(int row, int column) const;

private:
    friend class Connection;
    explicit Result(pg_result* result);
    std::shared_ptr<pg_result> result_;
};

class Connection {
public:
    // Connects with any libpq connection string (key=value words, a postgresql:// URI or a
    // plain database name); passwords come from ~/.pgpass or a service file as libpq finds
    // them. Throws ServerError (Unreachable) with libpq's reason.
    explicit Connection(const QString& conninfo);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The database, server and user, for messages (never a password).
    const QString& server() const { return server_; }
    // The server process serving this connection.
    int backendPid() const;

    // One statement; `step` names it in a failure's message.
    Result exec(const QString& step, const char* sql, const Params& params = {});
    // Several statements in one string (a schema migration), no parameters.
    void execScript(const QString& step, const char* sql);

    // COPY ... FROM STDIN: `produce` sends the data through the function it is given. An
    // exception from `produce` ends the copy with an error and is passed on.
    using Send = std::function<void(QByteArrayView data)>;
    void copyIn(const QString& step, const char* sql,
                const std::function<void(const Send&)>& produce);
    // COPY ... TO STDOUT: `consume` receives the data in pieces as they come (a piece may end
    // anywhere). An exception from `consume` cancels the copy and is passed on.
    void copyOut(const QString& step, const char* sql,
                 const std::function<void(QByteArrayView piece)>& consume);

    // The failure of `step` as the connection's state tells it: broken or refused.
    [[noreturn]] void fail(const QString& step, const QString& serverText,
                           const QString& sqlState = {}) const;
    [[noreturn]] void fail(const QString& step) const;
    bool broken() const;

private:
    void finishCopy(const QString& step);
    [[noreturn]] void failWith(const QString& step, pg_result* result) const;

    pg_conn* conn_ = nullptr;
    QString server_;
};

// BEGIN ... COMMIT; a transaction that is left without commit() is rolled back. A broken
// connection needs no rollback: the server ends the transaction with it.
class Transaction {
public:
    explicit Transaction(Connection& connection, const char* begin = "BEGIN");
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& connection_;
    bool open_ = true;
};

} // namespace kestrana::server
