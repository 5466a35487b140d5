#pragma once

#include "platform/FaultInjector.h"
#include "platform/IoError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <ctime>
#include <memory>
#include <optional>
#include <sys/types.h>

// Record and text files, every operation checked: a failed open, read, write, seek, sync,
// rename or close throws IoError with the platform's text. No file stays open between calls,
// except through the sequential reader and writer, which close themselves.
//
// A data folder is shared by everyone who can reach it, so a file's last path component is
// never followed when it is a symbolic link: such a file is neither read nor written, and the
// error says why. Folders on the way may be links. New files are created with mode 0666 (the
// user's umask and a set-gid folder decide the rest); a file replaced as a whole keeps its
// permission bits and, where the system allows, its group.
//
// Every function takes an optional FaultInjector through which a test makes chosen calls fail;
// the program passes none.
namespace kestrana::files {

// Whether a file or a link of that name is there (a link is not followed).
bool exists(const QString& path);
// Whether a folder is there (a folder may be reached through a link).
bool isDirectory(const QString& path);
// The size of a plain file; a link or a folder is an error.
qint64 size(const QString& path);
// Whole records in a file; a final partial record does not count.
qint64 recordCount(const QString& path, int recordSize);

// Which file a name stands for: two names with the same identity are the same file, and a file
// deleted and created again under its name has another identity.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec changed {};
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};
// The identity of the plain file at `path`; nothing when it is missing or not a plain file.
std::optional<FileIdentity> identityOf(const QString& path);

QByteArray readFile(const QString& path, FaultInjector* faults = nullptr);
// Record `index` (0-based). A record beyond the end, or a partial one, is an error.
QByteArray readRecord(const QString& path, qint64 index, int recordSize,
                      FaultInjector* faults = nullptr);
// Appends after the last whole record; a failed append is cut off again, so the file keeps
// only whole records.
void appendRecord(const QString& path, QByteArrayView record, FaultInjector* faults = nullptr);
void writeRecordAt(const QString& path, qint64 index, QByteArrayView record,
                   FaultInjector* faults = nullptr);

// Creates or truncates the file and writes `data` (the file may stay short on failure).
void writeFile(const QString& path, QByteArrayView data, FaultInjector* faults = nullptr);
// Creates the file only when nothing of that name exists (O_EXCL, so a link is never followed)
// and writes `data` through the same descriptor. Returns false when the name exists. A file
// whose content could not be written is removed again before the error is thrown. `created`
// receives the new file's identity.
bool createExclusive(const QString& path, QByteArrayView data, FaultInjector* faults = nullptr,
                     FileIdentity* created = nullptr);
// Replaces the file as a whole: a temporary file in the same directory, flushed to disk, then
// renamed over the old one. On any failure the old file stays as it was.
void replaceFile(const QString& path, QByteArrayView data, FaultInjector* faults = nullptr);
// Deletes the file (a link itself, never its target); a missing file is not an error. Returns
// whether a file was deleted.
bool removeFile(const QString& path);
void makeDirectory(const QString& path);

// The temporary file a rewrite of `path` by this process uses: "<name>.tmp.<host>.<pid>".
QString temporaryPathFor(const QString& path);
// Whether a file name is that of a temporary file of some rewrite.
bool isTemporaryName(const QString& name);

// A file this program wrote and keeps open to read again: it reads what was written, whatever
// later becomes of the name it was written under (another file renamed over it, a removal).
class KeptFile {
public:
    // Takes over `descriptor`, open for reading; `path` names the file in messages.
    KeptFile(int descriptor, const QString& path);
    ~KeptFile();
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    int descriptor() const { return fd_; }
    const QString& path() const { return path_; }
    // Whole records in the file.
    qint64 recordCount(int recordSize) const;

private:
    int fd_;
    QString path_;
};

// Where records are read from: a file by its name, or a file this program keeps open.
class RecordSource {
public:
    RecordSource(const QString& path) : path_(path) {}
    RecordSource(std::shared_ptr<const KeptFile> kept)
        : path_(kept->path()), kept_(std::move(kept)) {}
    const QString& path() const { return path_; }
    const KeptFile* kept() const { return kept_.get(); }

private:
    QString path_;
    std::shared_ptr<const KeptFile> kept_;
};
qint64 recordCount(const RecordSource& source, int recordSize);

// Reads fixed-size records front to back through a large buffer. A final partial record is
// never returned.
class RecordReader {
public:
    RecordReader(const QString& path, int recordSize, FaultInjector* faults = nullptr);
    // A kept file is read from its start; several readers of one do not disturb each other.
    RecordReader(const RecordSource& source, int recordSize, FaultInjector* faults = nullptr);
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
    FaultInjector* faults_;
    int fd_ = -1;
    QByteArray buffer_;
    qsizetype begin_ = 0;
    qsizetype end_ = 0;
    bool eof_ = false;
    qint64 recordsRead_ = 0;
    qint64 readOffset_ = -1; // reading a kept file: where the next read starts
};

// Writes a file front to back through a buffer. With `atomic`, the data go to a temporary file
// that commit() renames over the target; without commit() (an exception, say) the temporary
// file is removed and the target stays untouched. A successful commit also removes the
// temporary files of the same target that processes of this host left when they were killed.
class FileWriter {
public:
    // Append continues after the last whole record of `recordSize` bytes. Replace is Atomic
    // without flushing the new file to disk first: for files the program builds again at will.
    // Overwrite writes over the file from its start and cuts it where the writing ends: a large
    // scratch file keeps its blocks instead of giving them up and taking new ones.
    enum class Mode { Truncate, Atomic, Append, Replace, Overwrite };
    FileWriter(const QString& path, Mode mode, int recordSize = 1, FaultInjector* faults = nullptr);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(QByteArrayView data);
    // Writes `data` at `offset`, beside write(): several threads may each write parts of their
    // own at once (none of them calling anything else meanwhile). The file then ends with the
    // furthest part, or with what write() wrote if that lies further.
    void writeAt(qint64 offset, QByteArrayView data);
    // Where an overwritten file ends when it is closed, committed or not: after a failure, the
    // part of it that is complete.
    void endAt(qint64 size);
    // Appends the content of the plain file `path` (its first `limit` bytes when that is not
    // negative), copied by the kernel where it can.
    void copyFrom(const QString& path, qint64 limit = -1);
    // The same from the current offset of the open file `descriptor`, named `path`.
    void copyFrom(int descriptor, const QString& path, qint64 limit = -1);
    // What has been written so far, kept open for reading (the buffer is written out first).
    std::shared_ptr<const KeptFile> keep();
    void commit();

private:
    void flushBuffer();
    void startWriteback(qint64 bytes);
    void abandon();
    // Where an overwritten file is cut when it is closed.
    qint64 size() const;

    QString path_;
    QString writePath_;
    Mode mode_;
    FaultInjector* faults_;
    int fd_ = -1;
    QByteArray buffer_;
    qint64 written_ = 0;
    qint64 handedToDisk_ = 0;
    std::atomic<qint64> placedEnd_{0}; // end of the furthest part written by writeAt
    qint64 endAt_ = -1;
};

} // namespace kestrana::files
