#pragma once

#include "envelope/EnvelopeFields.h"

#include <QString>

namespace kestrana {
struct Workstation;
}

// The envelope window's operations on its settings files, as plain functions over its fields.
// Paths come from the workstation's base directory, fixed at start-up. A failed file operation
// throws IoError at that step; the fields already changed stay changed (the window shows them
// and the error). Operations that load the logo return the picture loader's error text (empty
// when none) instead of stopping: the rest of the settings still load.
namespace kestrana::envelope {

// Preparation (FormCreate): size 1, boxes unticked, positions and logo fields emptied; then
// creates each missing file with its defaults and reads it, in this order: logo record,
// settings (positions only, never the sender lines), the logo picture, form of address,
// options. Sender lines n1..n4 and recipient lines o2..o5 stay as they are. Sets the default
// caption. The window also hides its help panel.
QString prepare(const Workstation& ws, EnvelopeFields& fields, LogoPicture& picture);

// "Zapisz ustalenia jako domyślne": settings (sender lines included), logo and options records.
void saveDefaults(const Workstation& ws, EnvelopeFields& fields, const LogoPicture& picture);

// "Czytaj ustalenia domyślne", after the user said Yes: options, logo record, then settings
// with the sender lines; the files must exist. The form of address and recipient lines stay.
QString loadDefaults(const Workstation& ws, EnvelopeFields& fields, LogoPicture& picture);

// "Zapisz profil": the window's settings, logo and options as one 726-byte record.
void saveProfile(const QString& path, const EnvelopeFields& fields);

// "Czytaj profil": reads the file's first record (a shorter file is an error and changes
// nothing), applies it and sets the caption to the profile's path.
QString loadProfile(const QString& path, EnvelopeFields& fields, LogoPicture& picture);

// "Dołącz obrazek": the chosen file becomes the logo when it decodes and its path can be
// stored as it is; otherwise nothing changes and the reason is returned.
QString attachLogo(const QString& path, EnvelopeFields& fields, LogoPicture& picture);

// "Odłącz obrazek": forgets the path and disables the box; tick and held picture stay.
void detachLogo(EnvelopeFields& fields);

// "Koniec": stores the form of address, cut to 20 characters.
void saveFormOfAddress(const Workstation& ws, const QString& form);

} // namespace kestrana::envelope
