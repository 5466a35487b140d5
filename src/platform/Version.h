#pragma once

#include <QString>

namespace kestrana {

// The program's version as the build gives it ("1.0.0").
QString programVersion();
// "O programie": the name, version and licence.
QString aboutText();

} // namespace kestrana
