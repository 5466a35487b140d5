#pragma once

#include <QString>
#include <QStringList>

// The envelope window's own texts.
namespace kestrana::envelope {

inline QString defaultCaption() {
    return QStringLiteral("Adresowanie kopert - profil domyślny");
}
// The caption after a profile was read: this followed by the profile's full path.
inline QString profileCaptionPrefix() {
    return QStringLiteral("Adresowanie kopert ");
}

inline QString loadDefaultsQuestion() {
    return QStringLiteral("Wczytać ustawienia domyślne ?");
}
inline QString quitQuestion() {
    return QStringLiteral("Koniec pracy ?");
}

// File dialog filters ("Pliki profilów|*.pro", "Pliki graficzne|*.jpg") and default suffixes.
inline QString profileFilter() {
    return QStringLiteral("Pliki profilów (*.pro)");
}
inline QString profileSuffix() {
    return QStringLiteral("pro");
}
inline QString logoFilter() {
    return QStringLiteral("Pliki graficzne (*.jpg)");
}
inline QString logoSuffix() {
    return QStringLiteral("jpg");
}

// The read-only note in the recipient panel, three lines.
QStringList noteLines();
// The help panel's sixteen lines, shown as they stand.
QStringList helpLines();

} // namespace kestrana::envelope
