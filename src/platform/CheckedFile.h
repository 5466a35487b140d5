#pragma once

#include "platform/IoError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

// Record and text files, every operation checked: a failed open, read, write, seek, sync,
// rename or close throws IoError with the platform's text. No file stays open between calls,
// except through the sequential reader and writer, which close themselves.
namespace kestrana::files {

bool exists(const QString& path);
bool isDirectory(const QString& path);
qint64 size(const QString& path);
// Whole records in a file; a final partial record does not count.
qint64 recordCount(const QString& path, int recordSize);

QByteArray readFile(const QString& path);
// Record `index` (0-based). A record beyond the end, or a partial one, is an error.
QByteArray readRecord(const QString& path, qint64 index, int recordSize);
void appendRecord(const QString& path, QByteArrayView record);
void writeRecordAt(const QString& path, qint64 index, QByteArrayView record);

// Creates or truncates the file and writes `data` (the file may stay short on failure).
void writeFile(const QString& path, QByteArrayView data);
// Creates the file only when it does not exist (O_EXCL). Returns false when it exists.
bool createExclusive(const QString& path, QByteArrayView data);
// Replaces the file as a whole: a temporary file in the same directory, flushed to disk, then
// renamed over the old one. On any failure the old file stays as it was.
void replaceFile(const QString& path, QByteArrayView data);
// Deletes the file; a missing file is not an error. Returns whether a file was deleted.
bool removeFile(const QString& path);
void makeDirectory(const QString& path);

// Reads fixed-size records front to back through a large buffer. A final partial record is
// never returned.
class RecordReader {
public:
    RecordReader(const QString& path, int recordSize);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Points at the next whole record, or nullptr at the end.
    const char* next();
    qint64 recordsRead() const { return recordsRead_; }
    void close();

private:
    bool fill();

    QString path_;
    int recordSize_;
    int fd_ = -1;
    QByteArray buffer_;
    qsizetype begin_ = 0;
    qsizetype end_ = 0;
    bool eof_ = false;
    qint64 recordsRead_ = 0;
};

// Writes a file front to back through a buffer. With `atomic`, the data go to a temporary file
// that commit() renames over the target; without commit() (an exception, say) the temporary
// file is removed and the target stays untouched.
class FileWriter {
public:
    // Append continues after the last whole record of `recordSize` bytes.
    enum class Mode { Truncate, Atomic, Append };
    FileWriter(const QString& path, Mode mode, int recordSize = 1);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(QByteArrayView data);
    void commit();

private:
    void flushBuffer();

    QString path_;
    QString writePath_;
    Mode mode_;
    int fd_ = -1;
    QByteArray buffer_;
};

// Test seam: makes writes fail once `bytes` more bytes have been written (a full disk).
namespace testing {
void failWritesAfter(qint64 bytes, int errorNumber);
void clearFaults();
} // namespace testing

} // namespace kestrana::files
