#pragma once

#include "exchange/CsvImport.h"
#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace kestrana::csv {

// A row that can become a new entry, with what the user should know about it first.
struct PlannedRow {
    int row = 0;
    EntryRecord record;  // the new entry, without its ID yet
    QStringList damage;  // why it looks damaged by a spreadsheet (spreadsheetDamage)
    QStringList matches; // the entries of the register it repeats (findMatches)
    bool isNew() const { return matches.isEmpty(); }
};

// What importing a file would do, before anything is written.
struct ImportPlan {
    QString source;   // the file, as chosen
    QString encoding; // "UTF-8", "Windows-1250", "UTF-16"
    QChar separator;
    QString refusal; // not empty: the file as a whole is no list export, nothing can be added
    std::deque<PlannedRow> rows; // in file order (a deque: it grows without copying)
    QList<SkippedRow> refused;   // rows that cannot be added, with their reasons

    int damagedCount() const;
    int matchingCount() const;
    int newCount() const;
};

// Reads the file and says what an import would do; changes nothing. Throws IoError.
ImportPlan planImport(const Workstation& ws, const QString& csvPath);

enum class ImportChoice { All, OnlyNew };

struct ImportResult {
    ImportChoice choice = ImportChoice::All;
    std::vector<EntryRecord> added; // as stored, with their IDs
    QList<int> rows;                // the row each added entry came from
    qint64 firstPosition = -1;      // 0-based main-file position of the first added entry
    QList<int> leftOut;             // rows not added because they repeat an entry (OnlyNew)

    int addedCount() const { return static_cast<int>(added.size()); }
};

// Adds the rows the choice takes (every row, or those that repeat no entry) as new entries with
// new IDs, all or nothing. Throws IoError.
ImportResult applyImport(const Workstation& ws, const ImportPlan& plan, ImportChoice choice);

} // namespace kestrana::csv
