#include "platform/CheckedFile.h"

#include "platform/PosixFile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
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

// Remaining bytes before the simulated full disk; negative means no fault.
qint64 writeBudget = -1;
int writeFaultErrno = ENOSPC;

using posix::fail;
using posix::Fd;
using posix::native;
using posix::readUpTo;

void writeAll(int fd, const char* data, qint64 length, const QString& path) {
    while (length > 0) {
        qint64 chunk = length;
        if (writeBudget >= 0) {
            if (writeBudget == 0) {
                errno = writeFaultErrno;
                fail(opWrite, path);
            }
            chunk = std::min(chunk, writeBudget);
        }
        const ssize_t n = ::write(fd, data, static_cast<size_t>(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(opWrite, path);
        }
        if (writeBudget >= 0)
            writeBudget -= n;
        data += n;
        length -= n;
    }
}

void seekTo(int fd, qint64 offset, const QString& path) {
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        fail(opSeek, path);
}

void syncFile(int fd, const QString& path) {
    if (::fsync(fd) != 0)
        fail(opSync, path);
}

QString temporaryPathFor(const QString& path) {
    return path + QStringLiteral(".tmp.") + QString::number(::getpid());
}

void renameOver(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        fail(opRename, to);
}

} // namespace

bool exists(const QString& path) {
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0;
}

bool isDirectory(const QString& path) {
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

qint64 size(const QString& path) {
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        fail(opOpen, path);
    return st.st_size;
}

qint64 recordCount(const QString& path, int recordSize) {
    return size(path) / recordSize;
}

QByteArray readFile(const QString& path) {
    Fd fd(path, O_RDONLY);
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const qint64 n = readUpTo(fd.get(), chunk, sizeof chunk, path);
        data.append(chunk, n);
        if (n < qint64(sizeof chunk))
            break;
    }
    fd.close();
    return data;
}

QByteArray readRecord(const QString& path, qint64 index, int recordSize) {
    Fd fd(path, O_RDONLY);
    if (index < 0) {
        errno = EINVAL;
        fail(opSeek, path);
    }
    seekTo(fd.get(), index * recordSize, path);
    QByteArray record(recordSize, '\0');
    if (readUpTo(fd.get(), record.data(), recordSize, path) != recordSize)
        throw IoError(opRead, path, beyondEnd);
    fd.close();
    return record;
}

void appendRecord(const QString& path, QByteArrayView record) {
    Fd fd(path, O_WRONLY);
    // Append after the last whole record, as the records are counted.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        fail(opSeek, path);
    seekTo(fd.get(), st.st_size - st.st_size % record.size(), path);
    writeAll(fd.get(), record.data(), record.size(), path);
    fd.close();
}

void writeRecordAt(const QString& path, qint64 index, QByteArrayView record) {
    Fd fd(path, O_WRONLY);
    seekTo(fd.get(), index * record.size(), path);
    writeAll(fd.get(), record.data(), record.size(), path);
    fd.close();
}

void writeFile(const QString& path, QByteArrayView data) {
    Fd fd(path, O_WRONLY | O_CREAT | O_TRUNC);
    writeAll(fd.get(), data.data(), data.size(), path);
    fd.close();
}

bool createExclusive(const QString& path, QByteArrayView data) {
    int raw;
    do {
        raw = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
        if (errno == EEXIST)
            return false;
        fail(opOpen, path);
    }
    ::close(raw);
    Fd fd(path, O_WRONLY);
    writeAll(fd.get(), data.data(), data.size(), path);
    fd.close();
    return true;
}

void replaceFile(const QString& path, QByteArrayView data) {
    FileWriter writer(path, FileWriter::Mode::Atomic);
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
    if (::mkdir(native(path).constData(), 0755) != 0 && errno != EEXIST)
        fail(opMkdir, path);
}

RecordReader::RecordReader(const QString& path, int recordSize)
    : path_(path), recordSize_(recordSize) {
    Fd fd(path, O_RDONLY);
    // Hand the descriptor over to this reader; Fd would otherwise close it.
    fd_ = ::dup(fd.get());
    if (fd_ < 0)
        fail(opOpen, path);
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
    const qint64 n = readUpTo(fd_, buffer_.data() + end_, buffer_.size() - end_, path_);
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
    if (::close(fd) != 0 && errno != EINTR)
        fail(opClose, path_);
}

FileWriter::FileWriter(const QString& path, Mode mode, int recordSize)
    : path_(path), writePath_(mode == Mode::Atomic ? temporaryPathFor(path) : path), mode_(mode) {
    const int flags = mode == Mode::Append ? O_WRONLY : O_WRONLY | O_CREAT | O_TRUNC;
    do {
        fd_ = ::open(native(writePath_).constData(), flags | O_CLOEXEC, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        fail(opOpen, writePath_);
    if (mode == Mode::Append) {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            fail(opSeek, path);
        seekTo(fd_, st.st_size - st.st_size % recordSize, path);
    }
    buffer_.reserve(1 << 20);
}

FileWriter::~FileWriter() {
    if (fd_ < 0)
        return;
    if (mode_ == Mode::Atomic) {
        ::close(fd_);
        ::unlink(native(writePath_).constData());
        return;
    }
    // An abandoned plain file keeps what was written so far.
    try {
        flushBuffer();
    } catch (const IoError&) {
    }
    ::close(fd_);
}

void FileWriter::flushBuffer() {
    writeAll(fd_, buffer_.constData(), buffer_.size(), writePath_);
    buffer_.clear();
}

void FileWriter::write(QByteArrayView data) {
    if (buffer_.size() + data.size() > (1 << 20))
        flushBuffer();
    if (data.size() >= (1 << 20))
        writeAll(fd_, data.data(), data.size(), writePath_);
    else
        buffer_.append(data.data(), data.size());
}

void FileWriter::commit() {
    flushBuffer();
    if (mode_ == Mode::Atomic) {
        syncFile(fd_, writePath_);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) {
            const int saved = errno;
            ::unlink(native(writePath_).constData());
            errno = saved;
            fail(opClose, writePath_);
        }
        try {
            renameOver(writePath_, path_);
        } catch (...) {
            ::unlink(native(writePath_).constData());
            throw;
        }
        // Make the rename itself durable.
        const QString dir = QFileInfo(path_).absolutePath();
        const int dirFd = ::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        fail(opClose, path_);
}

namespace testing {

void failWritesAfter(qint64 bytes, int errorNumber) {
    writeBudget = bytes;
    writeFaultErrno = errorNumber;
}

void clearFaults() {
    writeBudget = -1;
}

} // namespace testing

} // namespace kestrana::files
