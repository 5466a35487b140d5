#include "platform/CheckedFile.h"

#include "platform/KernelCopy.h"
#include "platform/PlainTarget.h"
#include "platform/PosixFile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::files {

namespace {

const QString opOpen = QStringLiteral("Otwarcie pliku");
const QString opRead = QStringLiteral("Odczyt pliku");
const QString opWrite = QStringLiteral("Zapis pliku");
const QString opSeek = QStringLiteral("Przesunięcie w pliku");
const QString opClose = QStringLiteral("Zamknięcie pliku");
const QString opSync = QStringLiteral("Utrwalenie pliku na dysku");
const QString opRename = QStringLiteral("Zmiana nazwy pliku");
const QString opRemove = QStringLiteral("Usunięcie pliku");
const QString opMkdir = QStringLiteral("Utworzenie katalogu");
const QString beyondEnd = QStringLiteral("Odczyt poza końcem pliku");

using posix::check;
using posix::fail;
using posix::Fd;
using posix::kNewFileMode;
using posix::native;
using posix::readUpTo;
using posix::writeAll;
using posix::writeAllAt;

void seekTo(int fd, qint64 offset, const QString& path, FaultInjector* faults) {
    check(faults, Call::Seek, opSeek, path);
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        fail(opSeek, path);
}

void syncFile(int fd, const QString& path, FaultInjector* faults) {
    check(faults, Call::Sync, opSync, path);
    if (::fsync(fd) != 0)
        fail(opSync, path);
}

void renameOver(const QString& from, const QString& to, FaultInjector* faults) {
    check(faults, Call::Rename, opRename, to);
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        fail(opRename, to);
}

// Closes a descriptor that was written, reporting a failure (a network share may report a
// failed write only here).
void closeWritten(int fd, const QString& path, FaultInjector* faults) {
    const bool injected = !allowed(faults, Call::Close, path);
    const int injectedError = errno;
    if (::close(fd) != 0 && errno != EINTR)
        fail(opClose, path);
    if (injected) {
        errno = injectedError;
        fail(opClose, path);
    }
}

// Undoes a step after a failure without hiding the failure's errno.
void removeQuietly(const QString& path) {
    const int saved = errno;
    ::unlink(native(path).constData());
    errno = saved;
}

// This host's name as it may appear in a file name.
const QString& hostTag() {
    static const QString tag = [] {
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
            return QStringLiteral("host");
        QString text = QString::fromLocal8Bit(name);
        for (QChar& c : text) {
            if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('-') &&
                c != QLatin1Char('_'))
                c = QLatin1Char('_');
        }
        return text;
    }();
    return tag;
}

bool processIsGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes "<name>.tmp.<this host>.<pid>" beside `path` for processes that no longer run: they
// were killed while they rewrote the file, which is whole. Nothing here may fail the rewrite
// that has just succeeded.
void removeLeftoversOf(const QString& path) {
    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    const QString prefix = info.fileName() + QStringLiteral(".tmp.") + hostTag() + QLatin1Char('.');
    DIR* handle = ::opendir(native(dir).constData());
    if (!handle)
        return;
    const int saved = errno;
    while (const dirent* item = ::readdir(handle)) {
        const QString name = QFile::decodeName(item->d_name);
        if (!name.startsWith(prefix))
            continue;
        bool number = false;
        const qint64 pid = QStringView(name).mid(prefix.size()).toLongLong(&number);
        if (!number || pid <= 0 || pid == ::getpid() || !processIsGone(static_cast<pid_t>(pid)))
            continue;
        ::unlink(native(dir + QLatin1Char('/') + name).constData());
    }
    ::closedir(handle);
    errno = saved;
}

// The status of what stands at `path` without following a link there; false when nothing does.
bool statOf(const QString& path, struct stat& st) {
    return ::lstat(native(path).constData(), &st) == 0;
}

} // namespace

bool exists(const QString& path) {
    struct stat st {};
    return statOf(path, st);
}

bool isDirectory(const QString& path) {
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

qint64 size(const QString& path) {
    struct stat st {};
    if (!statOf(path, st))
        fail(opOpen, path);
    if (S_ISLNK(st.st_mode)) {
        errno = ELOOP;
        fail(opOpen, path);
    }
    if (S_ISDIR(st.st_mode))
        throw IoError(opOpen, path, EISDIR);
    return st.st_size;
}

qint64 recordCount(const QString& path, int recordSize) {
    return size(path) / recordSize;
}

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat st {};
    if (!statOf(path, st) || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, st.st_ctim};
}

QByteArray readFile(const QString& path, FaultInjector* faults) {
    Fd fd(path, O_RDONLY, kNewFileMode, false, faults);
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const qint64 n = readUpTo(fd.get(), chunk, sizeof chunk, path, faults);
        data.append(chunk, n);
        if (n < qint64(sizeof chunk))
            break;
    }
    fd.close();
    return data;
}

QByteArray readRecord(const QString& path, qint64 index, int recordSize, FaultInjector* faults) {
    Fd fd(path, O_RDONLY, kNewFileMode, false, faults);
    if (index < 0) {
        errno = EINVAL;
        fail(opSeek, path);
    }
    seekTo(fd.get(), index * recordSize, path, faults);
    QByteArray record(recordSize, '\0');
    if (readUpTo(fd.get(), record.data(), recordSize, path, faults) != recordSize)
        throw IoError(opRead, path, beyondEnd);
    fd.close();
    return record;
}

void appendRecord(const QString& path, QByteArrayView record, FaultInjector* faults) {
    Fd fd(path, O_WRONLY, kNewFileMode, false, faults);
    // Append after the last whole record, as the records are counted.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        fail(opSeek, path);
    const off_t end = st.st_size - st.st_size % record.size();
    seekTo(fd.get(), end, path, faults);
    try {
        writeAll(fd.get(), record.data(), record.size(), path, faults);
    } catch (const IoError&) {
        // A torn record would make the file end in a partial one; should the cut fail too, the
        // partial record is never read and the next append writes over it.
        if (::ftruncate(fd.get(), end) != 0) {
        }
        throw;
    }
    fd.close();
}

void writeRecordAt(const QString& path, qint64 index, QByteArrayView record,
                   FaultInjector* faults) {
    Fd fd(path, O_WRONLY, kNewFileMode, false, faults);
    seekTo(fd.get(), index * record.size(), path, faults);
    writeAll(fd.get(), record.data(), record.size(), path, faults);
    fd.close();
}

void writeFile(const QString& path, QByteArrayView data, FaultInjector* faults) {
    refuseUnlessPlainTarget(path);
    Fd fd(path, O_WRONLY | O_CREAT | O_TRUNC, kNewFileMode, false, faults);
    writeAll(fd.get(), data.data(), data.size(), path, faults);
    fd.close();
}

bool createExclusive(const QString& path, QByteArrayView data, FaultInjector* faults,
                     FileIdentity* created) {
    check(faults, Call::Open, opOpen, path);
    int raw;
    do {
        raw = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     kNewFileMode);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
        if (errno == EEXIST)
            return false;
        fail(opOpen, path);
    }
    try {
        writeAll(raw, data.data(), data.size(), path, faults);
        struct stat st {};
        if (::fstat(raw, &st) != 0)
            fail(opWrite, path);
        if (created)
            *created = FileIdentity{st.st_dev, st.st_ino, st.st_ctim};
    } catch (const IoError&) {
        // A file without its content would count as a lock nobody releases.
        ::close(raw);
        removeQuietly(path);
        throw;
    }
    try {
        closeWritten(raw, path, faults);
    } catch (const IoError&) {
        removeQuietly(path);
        throw;
    }
    return true;
}

void replaceFile(const QString& path, QByteArrayView data, FaultInjector* faults) {
    FileWriter writer(path, FileWriter::Mode::Atomic, 1, faults);
    writer.write(data);
    writer.commit();
}

bool removeFile(const QString& path) {
    if (::unlink(native(path).constData()) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    fail(opRemove, path);
}

void makeDirectory(const QString& path) {
    if (::mkdir(native(path).constData(), 0777) != 0 && errno != EEXIST)
        fail(opMkdir, path);
}

QString temporaryPathFor(const QString& path) {
    return path + QStringLiteral(".tmp.") + hostTag() + QLatin1Char('.') +
           QString::number(::getpid());
}

bool isTemporaryName(const QString& name) {
    // "<name>.tmp.<host>.<pid>", or "<name>.tmp.<pid>" as earlier versions wrote them.
    static const QRegularExpression pattern(QStringLiteral("\\.tmp\\.([^/]+\\.)?[0-9]+$"));
    return pattern.match(name).hasMatch();
}

RecordReader::RecordReader(const QString& path, int recordSize, FaultInjector* faults)
    : RecordReader(RecordSource(path), recordSize, faults) {}

RecordReader::RecordReader(const RecordSource& source, int recordSize, FaultInjector* faults)
    : path_(source.path()), recordSize_(recordSize), faults_(faults) {
    if (const KeptFile* kept = source.kept()) {
        check(faults, Call::Open, opOpen, path_);
        fd_ = ::fcntl(kept->descriptor(), F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0)
            fail(opOpen, path_);
        readOffset_ = 0;
    } else {
        fd_ = Fd(path_, O_RDONLY, kNewFileMode, false, faults).release();
    }
    const qsizetype records = std::max<qsizetype>(1, (1 << 20) / recordSize);
    buffer_.resize(records * recordSize);
}

RecordReader::~RecordReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordReader::fill() {
    const qsizetype leftover = end_ - begin_;
    if (leftover > 0)
        std::memmove(buffer_.data(), buffer_.constData() + begin_, static_cast<size_t>(leftover));
    begin_ = 0;
    end_ = leftover;
    qint64 n = 0;
    if (readOffset_ < 0) {
        n = readUpTo(fd_, buffer_.data() + end_, buffer_.size() - end_, path_, faults_);
    } else {
        // A kept file's descriptor is shared: read at our own offset.
        check(faults_, Call::Read, opRead, path_);
        while (end_ + n < buffer_.size()) {
            const ssize_t got = ::pread(fd_, buffer_.data() + end_ + n,
                                        static_cast<size_t>(buffer_.size() - end_ - n),
                                        static_cast<off_t>(readOffset_ + n));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                fail(opRead, path_);
            if (got == 0)
                break;
            n += got;
        }
        readOffset_ += n;
    }
    end_ += n;
    if (end_ < buffer_.size())
        eof_ = true;
    return end_ - begin_ >= recordSize_;
}

const char* RecordReader::next() {
    if (end_ - begin_ < recordSize_) {
        if (eof_ || fd_ < 0 || !fill())
            return nullptr;
    }
    const char* record = buffer_.constData() + begin_;
    begin_ += recordSize_;
    ++recordsRead_;
    return record;
}

void RecordReader::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    const bool injected = !allowed(faults_, Call::Close, path_);
    const int injectedError = errno;
    if (::close(fd) != 0 && errno != EINTR)
        fail(opClose, path_);
    if (injected) {
        errno = injectedError;
        fail(opClose, path_);
    }
}

FileWriter::FileWriter(const QString& path, Mode mode, int recordSize, FaultInjector* faults)
    : path_(path),
      writePath_(mode == Mode::Atomic || mode == Mode::Replace ? temporaryPathFor(path) : path),
      mode_(mode), faults_(faults) {
    if (mode == Mode::Append) {
        Fd fd(path, O_WRONLY, kNewFileMode, false, faults);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0)
            fail(opSeek, path);
        seekTo(fd.get(), st.st_size - st.st_size % recordSize, path, faults);
        fd_ = fd.release();
        buffer_.reserve(1 << 20);
        return;
    }
    if (mode == Mode::Truncate || mode == Mode::Overwrite) {
        const int truncate = mode == Mode::Truncate ? O_TRUNC : 0;
        fd_ = Fd(path, O_WRONLY | O_CREAT | truncate, kNewFileMode, false, faults).release();
        buffer_.reserve(1 << 20);
        return;
    }
    // The file being replaced: a link is refused (the rename would replace the link, and the
    // user would never learn that one was planted), so is a pipe, a device or a folder, before
    // anything is written; a plain file's mode and group go to the new file.
    refuseUnlessPlainTarget(path);
    struct stat old {};
    const bool replacing = statOf(path, old);
    // A leftover of this process's own earlier run under the same number is stale.
    ::unlink(native(writePath_).constData());
    fd_ = Fd(writePath_, O_WRONLY | O_CREAT | O_EXCL, kNewFileMode, false, faults).release();
    if (replacing && S_ISREG(old.st_mode)) {
        // Others sharing the folder through a group keep the access they had.
        if (::fchmod(fd_, old.st_mode & 0777) != 0) {
            // The new file is this user's own: it cannot refuse; the umask's mode stays if so.
        }
        if (::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Not a member of that group: the folder's group stays.
        }
    }
    buffer_.reserve(1 << 20);
}

FileWriter::~FileWriter() {
    if (fd_ < 0)
        return;
    if (mode_ == Mode::Atomic || mode_ == Mode::Replace) {
        abandon();
        return;
    }
    // An abandoned plain file keeps what was written so far.
    try {
        flushBuffer();
    } catch (const IoError&) {
    }
    if (mode_ == Mode::Overwrite && ::ftruncate(fd_, static_cast<off_t>(size())) != 0) {
        // What was there before stays behind the new part: a scratch file, read by no one.
    }
    ::close(fd_);
}

void FileWriter::abandon() {
    ::close(fd_);
    fd_ = -1;
    removeQuietly(writePath_);
}

void FileWriter::flushBuffer() {
    writeAll(fd_, buffer_.constData(), buffer_.size(), writePath_, faults_);
    startWriteback(buffer_.size());
    buffer_.clear();
}

void FileWriter::startWriteback(qint64 bytes) {
    written_ += bytes;
    // A file flushed to disk at the end goes there while it is written, not all at once then:
    // the final flush waits only for the last stretch.
    constexpr qint64 kStretch = 16 << 20;
    if (mode_ != Mode::Atomic || written_ - handedToDisk_ < kStretch)
        return;
    ::sync_file_range(fd_, handedToDisk_, written_ - handedToDisk_, SYNC_FILE_RANGE_WRITE);
    handedToDisk_ = written_;
}

void FileWriter::write(QByteArrayView data) {
    if (buffer_.size() + data.size() > (1 << 20))
        flushBuffer();
    if (data.size() >= (1 << 20)) {
        writeAll(fd_, data.data(), data.size(), writePath_, faults_);
        startWriteback(data.size());
    } else
        buffer_.append(data.data(), data.size());
}

void FileWriter::writeAt(qint64 offset, QByteArrayView data) {
    writeAllAt(fd_, offset, data.data(), data.size(), writePath_, faults_);
    const qint64 end = offset + data.size();
    qint64 furthest = placedEnd_.load();
    while (end > furthest && !placedEnd_.compare_exchange_weak(furthest, end)) {
    }
    // Handed to the disk at once, as write() does by stretches.
    if (mode_ == Mode::Atomic)
        ::sync_file_range(fd_, offset, data.size(), SYNC_FILE_RANGE_WRITE);
}

void FileWriter::endAt(qint64 size) {
    endAt_ = size;
}

qint64 FileWriter::size() const {
    return endAt_ >= 0 ? endAt_ : std::max(written_, placedEnd_.load());
}

void FileWriter::copyFrom(const QString& path, qint64 limit) {
    Fd source(path, O_RDONLY, kNewFileMode, false, faults_);
    copyFrom(source.get(), path, limit);
    source.close();
}

void FileWriter::copyFrom(int descriptor, const QString& path, qint64 limit) {
    flushBuffer();
    startWriteback(copyContent(descriptor, path, fd_, writePath_, limit, faults_));
}

std::shared_ptr<const KeptFile> FileWriter::keep() {
    flushBuffer();
    Fd reader(writePath_, O_RDONLY, kNewFileMode, false, faults_);
    return std::make_shared<const KeptFile>(reader.release(), path_);
}

void FileWriter::commit() {
    if (mode_ != Mode::Atomic && mode_ != Mode::Replace) {
        flushBuffer();
        if (mode_ == Mode::Overwrite && ::ftruncate(fd_, static_cast<off_t>(size())) != 0)
            fail(opWrite, path_);
        const int fd = fd_;
        fd_ = -1;
        closeWritten(fd, path_, faults_);
        return;
    }
    try {
        flushBuffer();
        if (mode_ == Mode::Atomic)
            syncFile(fd_, writePath_, faults_);
    } catch (const IoError&) {
        abandon();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    try {
        closeWritten(fd, writePath_, faults_);
        renameOver(writePath_, path_, faults_);
    } catch (const IoError&) {
        removeQuietly(writePath_);
        throw;
    }
    // Make the rename itself durable.
    const QString dir = QFileInfo(path_).absolutePath();
    const int dirFd = mode_ == Mode::Atomic
                          ? ::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                          : -1;
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    removeLeftoversOf(path_);
}

KeptFile::KeptFile(int descriptor, const QString& path) : fd_(descriptor), path_(path) {}

KeptFile::~KeptFile() {
    ::close(fd_);
}

qint64 recordCount(const RecordSource& source, int recordSize) {
    return source.kept() ? source.kept()->recordCount(recordSize)
                         : recordCount(source.path(), recordSize);
}

qint64 KeptFile::recordCount(int recordSize) const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail(opSeek, path_);
    return st.st_size / recordSize;
}

} // namespace kestrana::files
