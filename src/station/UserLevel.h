#pragma once

#include <QString>
#include <QStringList>

// The user level the command line gives.
namespace kestrana::startup {

// The boss level needs a 10-character argument 2 whose 10th character is this letter.
inline constexpr char16_t kBossMarker = u'k';
bool isBossToken(const QString& token);
// `arguments` as the process got them, the program name first.
bool bossLevel(const QStringList& arguments);

} // namespace kestrana::startup
