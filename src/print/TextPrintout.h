#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"

#include <QString>
#include <QStringList>

namespace kestrana {

// A heading and lines of text, 51 lines a page: the company description ("Drukuj zawartość
// okna") and the notepad ("Drukuj") print this way.
inline constexpr int kTextLinesPerPage = 51;

// The heading bold in the heading size (headingPoints) at (10, 6), then the lines at x = 10 from
// y = 16 in steps of 5, later pages from y = 6. A new page follows every 51st line at once,
// so a multiple of 51 lines ends with an empty page. Lines are neither wrapped nor cut; the
// orientation is left as the printer has it.
void printTextPages(PageHelper& page, const PrintFont& font, const QString& heading,
                    const QStringList& lines);

// "Drukuj zawartość okna": the editor's lines under the name line shown when the description
// panel was opened. False when the print dialog was cancelled. Throws IoError.
bool runDescriptionPrintout(Dialogs& dialogs, FontSettings& fonts, const QString& heading,
                            const QStringList& lines);
// The notepad's "Drukuj": the window's caption and its lines as the editor displays them.
// False when the print dialog was cancelled. Throws IoError.
bool runNotepadPrintout(Dialogs& dialogs, FontSettings& fonts, const QString& title,
                        const QStringList& displayedLines);

} // namespace kestrana
