#pragma once

#include "exchange/CsvText.h"
#include "register/EntryRecord.h"

#include <QList>
#include <QString>

#include <functional>

#include <vector>

namespace kestrana::csv {

struct SkippedRow {
    int row = 0;    // as a spreadsheet numbers it, the header being row 1
    QString reason; // Polish, for the user
};

// The separator of a file's text: the one under which its first row reads as the list's
// header (Calc writes ',' by default, Excel on a Polish system ';', "text" files a tab); when
// none does, the one that gives the first row the most cells, so the refusal names them.
QChar detectSeparator(QStringView text);

// The data rows of a CSV file turned into new entries (without IDs yet).
struct Conversion {
    QString refusal; // not empty: the file as a whole is not a list export (nothing is taken)
    std::vector<EntryRecord> records;
    QList<int> rows; // the row each record came from
    QList<SkippedRow> skipped;
};

// Turns rows, handed over one at a time in file order as the parser finds them, into new
// entries (see convertRows), so that a large file never exists as rows of cells all at once.
class RowConverter {
public:
    using Sink = std::function<void(int row, const EntryRecord& record)>;
    RowConverter() = default;
    // Each new entry goes to `sink` as it is made, instead of into the conversion's records.
    explicit RowConverter(Sink sink) : sink_(std::move(sink)) {}

    void row(const Row& row);
    void problem(const RowProblem& problem);
    Conversion finish();

private:
    Sink sink_;
    bool started_ = false;
    QStringList header_;
    Conversion out_;
};

// Checks the header row and converts each data row through the entry form into a record, as
// a new entry is built (reserved bytes zero, texts in Windows-1250). Each cell first loses the
// apostrophe that guards a formula character (see guardFormula). A row is skipped, with its
// reason, when its column count is wrong, a cell holds a NUL character, a text is longer than
// its field, a character has no Windows-1250 byte, or a flag cell holds anything but "tak",
// "nie" or nothing. Rows with no text at all are left out silently; empty cells after the last
// column are ignored.
Conversion convertRows(const Parsed& parsed);

// Polish count with its noun: 1 wpis, 2 wpisy, 5 wpisów.
QString countText(qint64 n, const QString& one, const QString& few, const QString& many);
QString entryCount(qint64 n);
QString rowCount(qint64 n);

} // namespace kestrana::csv
