#include "server/ServerChoice.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"

#include <libpq-fe.h>

#include <memory>

namespace kestrana::server {

QString choiceFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/serwer.dat"));
}

std::optional<QString> readChoice(const QString& workDir) {
    const QString path = choiceFile(workDir);
    if (!files::exists(path))
        return std::nullopt;
    return textfile::readLines(path).value(0).trimmed();
}

void writeChoice(const QString& workDir, const QString& conninfo) {
    files::replaceFile(choiceFile(workDir), cp1250::encode(conninfo + QStringLiteral("\r\n")));
}

bool clearChoice(const QString& workDir) {
    return files::removeFile(choiceFile(workDir));
}

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

QString mainWindowServerModeText() {
    return QStringLiteral(
        "To stanowisko jest przełączone na rejestr na serwerze bazy danych (Admini/serwer.dat).\n"
        "Okno programu pracuje tylko z rejestrem w plikach, a rejestr na serwerze obsługuje "
        "kestrana-cli (server export, backup).\n"
        "Powrót do pracy na plikach: kestrana-cli mode local albo kestrana-cli mode network "
        "ŚCIEŻKA");
}

QString captionForServerMode() {
    return QStringLiteral("Kestrana - bazy na serwerze");
}

} // namespace kestrana::server
