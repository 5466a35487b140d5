#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrana {

// The list as last built: its lines and, beside each, the record number of its entry (the
// entry's position + 1). A selection finds its entry through the number kept here, never by
// reading the number back out of the line.
class EntryList {
public:
    void clear();
    void append(QString&& line, qint64 recordNumber);

    int count() const { return static_cast<int>(lines_.size()); }
    const QStringList& lines() const { return lines_; }
    qint64 recordNumber(int row) const { return numbers_[static_cast<size_t>(row)]; }
    // The row whose entry has record number `number`, or -1.
    int rowOfRecord(qint64 number) const;

private:
    QStringList lines_;
    std::vector<qint64> numbers_;
};

} // namespace kestrana
