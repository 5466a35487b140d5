#pragma once

#include "envelope/EnvelopePaper.h"
#include "envelope/EnvelopeRecords.h"

#include <QImage>
#include <QString>

#include <array>

namespace kestrana {

// The envelope window's values, as plain data: the window copies its controls to and from this
// and the operations below work on it.
struct EnvelopeFields {
    EnvelopeSettings settings;        // n1..n4, l1..l4, g1..g4, od, l_n, g_n
    EnvelopeLogo logo;                // nazwa, l_log, g_log
    QString form;                     // o1
    std::array<QString, 4> recipient; // o2..o5
    int size = 1;                     // the checked size button, 1..4
    bool printLogo = false;           // "drukuj obrazek" ticked
    bool logoEnabled = false;         // "drukuj obrazek" enabled: the logo file exists
    bool landscape = false;           // "drukuj poziomo"
    // The paper of this workstation ("papier"); neither defaults nor profiles hold it.
    EnvelopePaper paper = EnvelopePaper::PrinterPage;
    QString caption; // the window's caption
};

// The logo picture the window holds (Image2 shows it stretched, Image3 at its own size) and
// the file it was decoded from.
struct LogoPicture {
    QImage image;
    QString path;
};

// "Rozmiar " + left + "X" + top of the selected size, e.g. "Rozmiar 50X50".
QString sizeLabel(const EnvelopeFields& fields);
// The selected size button, a stored value out of 1..4 counting as 1.
int selectedSize(const EnvelopeFields& fields);

// Stored options as the defaults apply them: size 1 and both boxes unticked, then a size 1..4
// selects it and a byte 1 ticks its box.
void applyDefaultOptions(EnvelopeFields& fields, const EnvelopeOptions& options);
// Stored options as a profile applies them: a size 1..4 selects it, 0 and 1 untick or tick a
// box; any other value leaves the window as it was.
void applyProfileOptions(EnvelopeFields& fields, const EnvelopeOptions& options);
EnvelopeOptions optionsOf(const EnvelopeFields& fields);

// The positions of a settings record without its sender lines (preparation keeps the lines).
void applyPositions(EnvelopeFields& fields, const EnvelopeSettings& settings);

// Loads the logo pictures for `fields.logo.path`: an existing file is decoded into `picture`;
// a missing one leaves the picture as it was. Then refreshes the box's enabled state. Returns
// the loader's error text, empty when none; the picture held then is no file's any more.
QString loadLogoPictures(EnvelopeFields& fields, LogoPicture& picture);
// "drukuj obrazek" is enabled when the logo file exists and the held picture was read from it.
void refreshLogoEnabled(EnvelopeFields& fields, const LogoPicture& picture);

// The picture the printout draws: only when "drukuj obrazek" is ticked and enabled and the
// held picture is the one `nazwa` names; otherwise a null image.
QImage logoToPrint(const EnvelopeFields& fields, const LogoPicture& picture);

} // namespace kestrana
