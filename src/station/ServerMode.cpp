#include "station/ServerMode.h"

#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"

namespace kestrana::startup {

QString serverChoiceFile(const QString& workDir) {
    return resolvePath(workDir, QStringLiteral("Admini/serwer.dat"));
}

std::optional<QString> readServerChoice(const QString& workDir) {
    const QString path = serverChoiceFile(workDir);
    if (!files::exists(path))
        return std::nullopt;
    return textfile::readLines(path).value(0).trimmed();
}

void writeServerChoice(const QString& workDir, const QString& conninfo) {
    files::replaceFile(serverChoiceFile(workDir),
                       cp1250::encode(conninfo + QStringLiteral("\r\n")));
}

bool clearServerChoice(const QString& workDir) {
    return files::removeFile(serverChoiceFile(workDir));
}

QString serverModeText() {
    return QStringLiteral(
        "To stanowisko jest przełączone na rejestr na serwerze bazy danych (Admini/serwer.dat), "
        "a ten program nie łączy się z serwerem.\n"
        "Powrót do pracy na plikach: kestrana-cli mode local albo kestrana-cli mode network "
        "ŚCIEŻKA");
}

QString captionForServerMode() {
    return QStringLiteral("Kestrana - bazy na serwerze");
}

} // namespace kestrana::startup
