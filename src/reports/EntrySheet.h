#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "print/PageHelper.h"
#include "register/EntryForm.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrana {

// "Wydruk aktualnego rekordu": the entry as the form shows it, on paper ("Na drukarce") or in
// a text file ("Do pliku"), both from the same sheet.

// A line of the sheet with its printed y (grid steps; x = 5 for every line).
struct SheetLine {
    int y;
    QString text;
};
// A numbered section: its bold heading and its value lines.
struct SheetSection {
    SheetLine heading;
    QList<SheetLine> values;
};
// The two bold name lines, then the six sections.
struct EntrySheet {
    QList<SheetLine> names;
    QList<SheetSection> sections;
};
EntrySheet entrySheet(const EntryFormValues& form);

// The text file's 36 lines: the sheet's texts with an empty line after the name lines and after
// each section but the last.
QStringList entrySheetLines(const EntryFormValues& form);
// Those lines in Windows-1250, each ended by CR LF.
QByteArray entrySheetFileBytes(const EntryFormValues& form);

// Portrait, the name lines bold, each heading bold, the values in the stored style.
void printEntrySheet(PageHelper& page, const PrintFont& font, const EntryFormValues& form);

// A file name typed without an extension receives ".txt".
QString withTextExtension(const QString& fileName);
// Writes the sheet, replacing the file as a whole: a failure leaves an existing file as it was.
// Throws IoError.
void writeEntrySheet(const QString& path, const EntryFormValues& form,
                     files::FaultInjector* faults = nullptr);

// "Na drukarce": the print dialog (false when cancelled), the print font, the sheet. Throws
// IoError.
bool runEntrySheetPrintout(Dialogs& dialogs, FontSettings& fonts, const EntryFormValues& form);
// "Do pliku": the save dialog in `dir` with the filter "Pliki tekstowe (*.txt)" (false when
// cancelled), then the file. Throws IoError.
bool exportEntrySheet(Dialogs& dialogs, const EntryFormValues& form, const QString& dir);

} // namespace kestrana
