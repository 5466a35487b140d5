#include "platform/PlainTarget.h"

#include "platform/IoError.h"
#include "platform/PosixFile.h"

#include <cerrno>
#include <sys/stat.h>

namespace kestrana::files {

void refuseUnlessPlainTarget(const QString& path) {
    const QString operation = QStringLiteral("Zapis pliku");
    struct stat st {};
    if (::lstat(posix::native(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return;
    if (S_ISLNK(st.st_mode))
        throw IoError(operation, path, ELOOP, posix::linkMessage());
    if (S_ISDIR(st.st_mode))
        throw IoError(operation, path, EISDIR);
    throw IoError(operation, path, EINVAL,
                  QStringLiteral("W tym miejscu jest potok, urządzenie lub gniazdo, a nie zwykły "
                                 "plik; program nie zapisuje w jego miejsce. Wybierz inną nazwę "
                                 "pliku."));
}

} // namespace kestrana::files
