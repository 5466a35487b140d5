#pragma once

#include "exchange/CsvText.h"
#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <QList>
#include <QString>

#include <vector>

namespace kestrana::csv {

struct SkippedRow {
    int row = 0;    // as a spreadsheet numbers it, the header being row 1
    QString reason; // Polish, for the user
};

// The data rows of a CSV file turned into new entries (without IDs yet).
struct Conversion {
    QString refusal; // not empty: the file as a whole is not a list export (nothing is taken)
    std::vector<EntryRecord> records;
    QList<int> rows; // the row each record came from
    QList<SkippedRow> skipped;
};

// Checks the header row and converts each data row through the entry form into a record, as
// a new entry is built (reserved bytes zero, texts in Windows-1250). A row is skipped, with its
// reason, when its column count is wrong, a text is longer than its field, a character has no
// Windows-1250 byte, or a flag cell holds anything but "tak", "nie" or nothing. Rows with no
// text at all are left out silently; empty cells after the last column are ignored.
Conversion convertRows(const Parsed& parsed);

struct ImportReport {
    QString refusal;
    int added = 0;
    qint32 firstId = 0;        // the IDs given are firstId, firstId + 1, ...
    qint64 firstPosition = -1; // 0-based main-file position of the first added entry
    QList<SkippedRow> skipped; // in row order
};

// Reads a CSV file and appends its good rows to the main file as new entries with new IDs. The
// main file's lock is held throughout, so no other workstation sees part of the import or
// appends in between; the ID counter is raised for all of them at once, then the main file is
// replaced by its old records plus the new ones, so a failure adds no entry at all (the IDs
// taken stay unused, as IDs are never reused). Throws IoError.
ImportReport importFile(const Workstation& ws, const QString& csvPath);

// Polish count with its noun: 1 wpis, 2 wpisy, 5 wpisów.
QString countText(qint64 n, const QString& one, const QString& few, const QString& many);

// What the user is told after an import: the count and the IDs added, then the skipped rows,
// at most `maxReasons` of them followed by how many more there are (-1: all).
QString importSummary(const ImportReport& report, int maxReasons = -1);

} // namespace kestrana::csv
