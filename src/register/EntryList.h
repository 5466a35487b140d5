#pragma once

#include "register/EntryRecord.h"
#include "register/ListLine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace kestrana {

// The list as last built: for each line the record number of its entry (the entry's position
// + 1) and the few Windows-1250 bytes the line shows, packed into large blocks instead of one
// string per line, so a list of a million entries stays small. A line's text is made when it
// is asked for and is exactly listLine() of the entry as it was when the list was built. A
// selection finds its entry through the number kept here, never by reading it out of the line.
class EntryList {
public:
    EntryList();
    ~EntryList();
    EntryList(EntryList&&) noexcept;
    EntryList& operator=(EntryList&&) noexcept;

    void clear();
    void append(const EntryRecord& record, qint64 recordNumber, ViewMode mode);

    int count() const { return static_cast<int>(rows_.size()); }
    qint64 recordNumber(int row) const { return rows_[static_cast<size_t>(row)].number; }
    // The row whose entry has record number `number`, or -1.
    int rowOfRecord(qint64 number) const;

    // Line `row`, as listLine() gives it.
    QString line(int row) const;
    // The same in Windows-1250, into `out` (its storage reused).
    void lineBytes(int row, QByteArray& out) const;
    // Every line (for tests and small lists).
    QStringList lines() const;

    // The next line after `selected` (-1: none selected) that contains `text` exactly, or -1;
    // the rules of findNextLine().
    int findNext(int selected, const QString& text) const;

private:
    struct Row {
        quint64 offset; // of the row's bytes: block index in the high half, offset in the low
        quint32 number;
    };
    const unsigned char* rowData(int row) const;

    std::vector<std::unique_ptr<char[]>> blocks_;
    qsizetype blockUsed_ = 0;
    std::vector<Row> rows_;
};

// Line `recordNumber` of `record` as listLine() gives it, in Windows-1250, into `out` (its
// storage reused): a list written out line by line needs no text of its own.
void listLineBytes(const EntryRecord& record, qint64 recordNumber, ViewMode mode, QByteArray& out);

} // namespace kestrana
