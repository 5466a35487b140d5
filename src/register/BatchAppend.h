#pragma once

#include "station/Workstation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Many entries appended at once (an import, kestrana-cli generate) go at the end of the main
// file in place, all or none. Before the first byte, a small journal beside the main file
// (DANE/spis_ks.dop: the main file's length before the batch) is written and flushed to disk;
// it is removed once the batch is on disk. A failure cuts the file back to that length at once;
// a kill or a power loss leaves the journal, and whoever next takes the main file's lock, or
// starts the program, cuts the file back from it. So the main file never keeps part of a batch.
namespace kestrana::editing {

QString appendJournalFile(const Workstation& ws);

// With the main file's lock held: cuts back the batch an interrupted append left (the appender
// is gone, since it held the lock while its journal existed) and removes the journal. Returns
// what was done, in Polish; empty when there was no journal. Throws IoError when the cut fails
// (the journal stays for the next try).
QString cutBackInterruptedAppend(const Workstation& ws);

// The same at start-up, taking the main file's lock only when a journal is there.
QString finishInterruptedAppend(const Workstation& ws);

// One batch: opened with the main file's lock held (and kept while it lives), it writes the
// journal; write() appends records, commit() flushes them to disk and removes the journal.
// Destroyed without commit(), it cuts the file back and removes the journal, or where even that
// fails, leaves the journal for the next taker of the lock.
class BatchAppend {
public:
    explicit BatchAppend(const Workstation& ws);
    ~BatchAppend();
    BatchAppend(const BatchAppend&) = delete;
    BatchAppend& operator=(const BatchAppend&) = delete;

    // 0-based position of the first record of the batch.
    qint64 firstPosition() const;
    void write(QByteArrayView records);
    void commit();

private:
    void flush();
    void cutBack() noexcept;

    const Workstation& ws_;
    QString path_;
    QString journal_;
    int fd_ = -1;
    qint64 start_ = 0; // the main file's length before the batch
    qint64 end_ = 0;   // where the next records go
    QByteArray buffer_;
};

} // namespace kestrana::editing
