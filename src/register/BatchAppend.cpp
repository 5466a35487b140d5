#include "register/BatchAppend.h"

#include "platform/CheckedFile.h"
#include "platform/DurableFile.h"
#include "platform/PosixFile.h"
#include "register/EntryRecord.h"
#include "register/FileLock.h"

#include <QDir>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::editing {

namespace {

const QByteArray kJournalTitle = QByteArrayLiteral("Kestrana: dopisywanie");
constexpr qint64 kJournalLimit = 4096;
// Records go to the file in pieces of this many: memory stays small, and a kill between two
// pieces is as likely as anywhere else.
constexpr qsizetype kPieceRecords = 64;

struct Journal {
    qint64 length = -1; // the main file's length before the batch
    quint64 inode = 0;  // which file the batch went to
};

QByteArray journalText(const Journal& journal) {
    return kJournalTitle + '\n' + QByteArray::number(journal.length) + '\n' +
           QByteArray::number(journal.inode) + '\n';
}

// Nothing when the journal is not whole: written and flushed before the first record, a torn
// one means the batch never began.
std::optional<Journal> parseJournal(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != 4 || lines[0] != kJournalTitle || !lines[3].isEmpty())
        return std::nullopt;
    Journal journal;
    bool lengthOk = false;
    bool inodeOk = false;
    journal.length = lines[1].toLongLong(&lengthOk);
    journal.inode = lines[2].toULongLong(&inodeOk);
    if (!lengthOk || !inodeOk || journal.length < 0)
        return std::nullopt;
    return journal;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString appendJournalFile(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("DANE/spis_ks.dop"));
}

QString cutBackInterruptedAppend(const Workstation& ws) {
    const QString journalPath = appendJournalFile(ws);
    if (ws.server || !files::exists(journalPath))
        return {};
    const QString mainFile = ws.mainFile();
    std::optional<Journal> journal;
    if (files::size(journalPath) <= kJournalLimit)
        journal = parseJournal(files::readFile(journalPath, ws.faults));
    const QString interrupted =
        QStringLiteral("Dopisywanie wpisów do pliku głównego %1 (import albo generate) zostało "
                       "przerwane")
            .arg(shown(mainFile));
    QString done;
    struct stat main {};
    if (!journal) {
        done = interrupted + QStringLiteral(", zanim cokolwiek dopisano (dziennik %1 jest "
                                            "niepełny); plik główny jest bez zmian.")
                                 .arg(shown(journalPath));
    } else if (::lstat(files::posix::native(mainFile).constData(), &main) != 0 ||
               !S_ISREG(main.st_mode) || main.st_ino != journal->inode) {
        done = interrupted + QStringLiteral("; plik główny zastąpiono potem innym, więc nie był "
                                            "zmieniany.");
    } else if (main.st_size > journal->length) {
        files::posix::Fd fd(mainFile, O_WRONLY, files::posix::kNewFileMode, false, ws.faults);
        files::cutTo(fd.get(), journal->length, mainFile, ws.faults);
        fd.close();
        done = interrupted + QStringLiteral(". Cofnięto je: usunięto to, co zdążyło zostać "
                                            "dopisane (%1 B); plik ma znów %2 wpisów, jak przed "
                                            "dopisywaniem.")
                                 .arg(main.st_size - journal->length)
                                 .arg(journal->length / EntryRecord::Size);
    } else {
        done = interrupted + QStringLiteral(", zanim cokolwiek dopisano; plik główny jest bez "
                                            "zmian.");
    }
    files::removeDurably(journalPath, ws.faults);
    return done;
}

QString finishInterruptedAppend(const Workstation& ws) {
    if (ws.server || !files::exists(appendJournalFile(ws)))
        return {};
    // The plain lock: taking it for a workstation would cut back on its own, without a word.
    const FileLock lock(lockPathFor(ws.mainFile()), ws.lockWait, ws.faults);
    return cutBackInterruptedAppend(ws);
}

BatchAppend::BatchAppend(const Workstation& ws)
    : ws_(ws), path_(ws.mainFile()), journal_(appendJournalFile(ws)) {
    files::posix::Fd fd(path_, O_WRONLY, files::posix::kNewFileMode, false, ws.faults);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        files::posix::fail(QStringLiteral("Odczyt pliku"), path_);
    // A final partial record is never read: the batch goes over it.
    start_ = st.st_size - st.st_size % EntryRecord::Size;
    end_ = start_;
    try {
        files::writeDurably(journal_, journalText({start_, st.st_ino}), ws.faults);
    } catch (const IoError&) {
        // Not flushed, so nothing was appended after it: a journal left now would say so.
        try {
            files::removeDurably(journal_);
        } catch (const IoError&) {
        }
        throw;
    }
    fd_ = fd.release();
    buffer_.reserve(kPieceRecords * EntryRecord::Size);
}

BatchAppend::~BatchAppend() {
    if (fd_ < 0)
        return;
    cutBack();
    ::close(fd_);
}

qint64 BatchAppend::firstPosition() const {
    return start_ / EntryRecord::Size;
}

void BatchAppend::write(QByteArrayView records) {
    buffer_.append(records.data(), records.size());
    if (buffer_.size() >= kPieceRecords * EntryRecord::Size)
        flush();
}

void BatchAppend::flush() {
    files::posix::writeAllAt(fd_, end_, buffer_.constData(), buffer_.size(), path_, ws_.faults);
    end_ += buffer_.size();
    buffer_.clear();
}

void BatchAppend::commit() {
    try {
        flush();
        files::syncDescriptor(fd_, path_, ws_.faults);
        files::removeDurably(journal_, ws_.faults);
    } catch (...) {
        cutBack();
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    // Everything is on disk: a failed close changes nothing.
    ::close(fd_);
    fd_ = -1;
}

void BatchAppend::cutBack() noexcept {
    try {
        files::cutTo(fd_, start_, path_, ws_.faults);
        files::removeDurably(journal_, ws_.faults);
    } catch (...) {
        // The journal stays: the next taker of the lock, or the next start, cuts back.
    }
}

} // namespace kestrana::editing
