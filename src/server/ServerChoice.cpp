#include "server/ServerChoice.h"

#include "platform/CodePage.h"

#include <libpq-fe.h>

#include <memory>

namespace kestrana::server {

QString connectionStringProblem(const QString& conninfo) {
    if (conninfo.trimmed().isEmpty())
        return QStringLiteral("Podaj parametry połączenia z serwerem, np. "
                              "'postgresql://kestrana@serwer/kestrana'.");
    if (conninfo.contains(QLatin1Char('\n')) || conninfo.contains(QLatin1Char('\r')) ||
        cp1250::decode(cp1250::encode(conninfo)) != conninfo)
        return QStringLiteral("Parametry połączenia zawierają znaki, których nie można zapisać "
                              "w pliku stanowiska.");
    char* error = nullptr;
    std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(
        PQconninfoParse(conninfo.toUtf8().constData(), &error), PQconninfoFree);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        return QStringLiteral("Niepoprawne parametry połączenia: ") + reason;
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            return QStringLiteral("Parametry połączenia nie mogą zawierać hasła: Kestrana go "
                                  "nie zapisuje. Wpisz hasło do pliku ~/.pgpass (albo użyj "
                                  "pliku usług pg_service.conf).");
    }
    return QString();
}

} // namespace kestrana::server
