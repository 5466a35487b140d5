#pragma once

#include "platform/IoError.h"

#include <QString>

namespace kestrana::server {

// A failed step on the database server. It is an IoError, so every user action that already
// shows a failed file operation shows this one too: the server's own text, then the step and
// the server (host, port, database and user; never a password).
class ServerError : public IoError {
public:
    enum class Kind {
        Unreachable,    // no connection could be made
        ConnectionLost, // the connection broke: the server rolled the transaction back
        Refused,        // the server refused the command (rights, constraint, lock timeout)
        Register,       // the register on the server is not as the step needs it
    };

    ServerError(Kind kind, QString operation, QString server, QString serverText,
                QString sqlState = {});

    Kind kind() const { return kind_; }
    // The server's five-character code of the error (SQLSTATE); empty when it gave none.
    const QString& sqlState() const { return sqlState_; }
    // A lock the command waited for was not granted within lock_timeout.
    bool lockTimedOut() const { return sqlState_ == QLatin1String("55P03"); }

private:
    Kind kind_;
    QString sqlState_;
};

} // namespace kestrana::server
