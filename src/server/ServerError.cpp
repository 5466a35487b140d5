#include "server/ServerError.h"

namespace kestrana::server {

ServerError::ServerError(Kind kind, QString operation, QString server, QString serverText,
                         QString sqlState)
    : IoError(std::move(operation), std::move(server), std::move(serverText)), kind_(kind),
      sqlState_(std::move(sqlState)) {}

} // namespace kestrana::server
