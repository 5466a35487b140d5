#include "platform/Version.h"

namespace kestrana {

QString aboutText() {
    return QStringLiteral("Kestrana %1\nRejestr producentów dla małego biura.\n"
                          "Licencja: GNU GPL w wersji 3 lub nowszej.")
        .arg(programVersion());
}

} // namespace kestrana
