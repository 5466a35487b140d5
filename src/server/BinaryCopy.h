#pragma once

#include "server/PgConnection.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

// PostgreSQL's binary COPY format: a header, then rows of length-prefixed fields, then a
// trailer. Record bytes pass through it unchanged and without the hex text the text format
// would need.
namespace kestrana::server::copy {

// Builds the data of a COPY ... FROM STDIN (FORMAT binary), sending it in large pieces.
class Writer {
public:
    explicit Writer(const Connection::Send& send);

    void beginRow(int fields);
    void addInt64(qint64 value);
    void addBytes(QByteArrayView value);
    void addText(const QString& value);
    // The trailer, and what is still buffered.
    void finish();

private:
    void flushIfFull();

    const Connection::Send& send_;
    QByteArray buffer_;
};

// Takes the data of a COPY ... TO STDOUT (FORMAT binary) in pieces as they arrive and hands on
// each complete row, its fields as views valid during the call (a null field is a null view).
class Reader {
public:
    using Row = std::function<void(const std::vector<QByteArrayView>& fields)>;
    explicit Reader(Row row) : row_(std::move(row)) {}

    void take(QByteArrayView piece);
    // Throws ServerError when the data ended without the trailer.
    void finish() const;

private:
    bool parseRow();

    Row row_;
    QByteArray pending_;
    qsizetype offset_ = 0;
    bool headerRead_ = false;
    bool ended_ = false;
    std::vector<QByteArrayView> fields_;
};

qint64 int64Field(QByteArrayView field);

} // namespace kestrana::server::copy
