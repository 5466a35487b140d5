#include "server/ServerError.h"

namespace kestrana::server {

ServerError::ServerError(Kind kind, QString operation, QString server, QString serverText)
    : IoError(std::move(operation), std::move(server), std::move(serverText)), kind_(kind) {}

} // namespace kestrana::server
