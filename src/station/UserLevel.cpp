#include "station/UserLevel.h"

namespace kestrana::startup {

bool isBossToken(const QString& token) {
    return token.size() == 10 && token.at(9) == QChar(kBossMarker);
}

bool bossLevel(const QStringList& arguments) {
    return arguments.size() > 2 && isBossToken(arguments.at(2));
}

} // namespace kestrana::startup
