#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"
#include "register/EntryRecord.h"
#include "register/Register.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace kestrana {

// "Wydruk definiowalny": the list file as a portrait table whose third and fourth areas show
// the fields chosen in the drop-down boxes pole1..pole6.

// The row forms of the group box "Jaki wydruk".
enum class RowForm {
    ThreeLines, // dr1 "wiersz 3-linijkowy"
    OneLine,    // dr2 "wiersz 1-linijkowy"
};

inline constexpr int kDefinableBoxCount = 6;
inline constexpr int kDefinableTitleLength = 100; // what `tytul` accepts

// The items of every pole box, in order; the first is empty.
const QStringList& definableFieldChoices();
// The entry field a box text names: nothing for the empty item or a text that is no item.
std::optional<Field> definableField(const QString& boxText);
// Whether box `box` (1..6) is enabled and printed in the row form: all six in three-line rows,
// pole2 and pole5 only in one-line rows.
bool definableBoxInUse(int box, RowForm form);

// What the panel holds when "Rozpocznij wydruk" is pressed.
struct DefinableSettings {
    std::array<QString, kDefinableBoxCount> pole; // the boxes' texts as they read, pole1 first
    QString tytul;
    RowForm form = RowForm::ThreeLines;
};

// Row height in grid steps and rows of page 1 (the header counting as row 0); further pages
// hold one row more.
int definableRowHeight(RowForm form);
int definablePageLimit(RowForm form);

// The printout: the heading size (headingPoints) for "Lista firm", the title, the bold header row,
// then one row per record of the list file, each record passing through `buffer`. The
// orientation is left as the printer has it. Throws IoError.
void printDefinableList(PageHelper& page, const PrintFont& font, const DefinableSettings& settings,
                        const files::RecordSource& listFile, EntryRecord& buffer);

// "Rozpocznij wydruk": the print dialog (false when cancelled), the print font, then the list
// file of `reg` through its entry buffer. Throws IoError.
bool runDefinablePrintout(Dialogs& dialogs, FontSettings& fonts, Register& reg,
                          const DefinableSettings& settings);

} // namespace kestrana
