#include "support/DemoProgram.h"

#include "register/DataFolderSetup.h"

namespace kestrana::test {

bool DemoProgram::installDemo(const DataFolder& folder) {
    installDataFolder(folder.path(), true, QStringLiteral("2026-12-07"));
    return true;
}

} // namespace kestrana::test
