#include "cash/VoucherCounter.h"

#include "platform/CheckedFile.h"
#include "platform/Numbers.h"
#include "platform/ShortString.h"
#include "register/FileLock.h"
#include "register/RegisterServer.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kestrana {

namespace {

// The companion lock file, found like every data path: DOKUMENTY/nrkp.lck. It is never
// renamed, so a writer's rename of the counter itself cannot slip past a waiting workstation.
QString counterLockFile(const Workstation& ws, DocumentKind kind) {
    return ws.dataPath(lockPathFor(kindTexts(kind).counterSubPath));
}

QByteArray readCounterBytes(const Workstation& ws, const QString& path) {
    return files::readRecord(path, 0, CounterRecord::Size, ws.faults);
}

// In server mode the counter is a record on the server, kept as the file's bytes.
RegisterServer::Record serverRecord(DocumentKind kind) {
    return kind == DocumentKind::KW ? RegisterServer::Record::KwCounter
                                    : RegisterServer::Record::KpCounter;
}

// The counter's bytes on the server, checked as a read of the file checks them.
QByteArray serverCounterBytes(const Workstation& ws, DocumentKind kind,
                              const std::optional<QByteArray>& content) {
    if (!content || content->size() < CounterRecord::Size)
        throw IoError(QStringLiteral("Odczyt licznika dokumentów"), ws.server->where(),
                      content ? QStringLiteral("Licznik %1 ma %2 B zamiast %3 B.")
                                    .arg(kindTexts(kind).counterSubPath)
                                    .arg(content->size())
                                    .arg(CounterRecord::Size)
                              : QStringLiteral("W rejestrze na serwerze nie ma licznika %1.")
                                    .arg(kindTexts(kind).counterSubPath));
    return *content;
}

// The counter after a print run took its number: the number one higher, the suffix byte for
// byte (even bytes the code page leaves undefined), only the bytes after it zeroed. Throws
// CounterFullError at the largest number.
QByteArray advanced(QByteArray bytes, CounterRecord& taken) {
    taken = CounterRecord::fromBytes(bytes);
    if (taken.next == std::numeric_limits<qint32>::max())
        throw CounterFullError();
    const int length =
        std::min<int>(static_cast<unsigned char>(bytes[4]), CounterRecord::SuffixWidth);
    bytes[4] = static_cast<char>(length);
    std::fill(bytes.begin() + 5 + length, bytes.end(), '\0');
    const QByteArray next = int32Bytes(taken.next + 1);
    std::copy(next.begin(), next.end(), bytes.begin());
    return bytes;
}

} // namespace

QByteArray CounterRecord::toBytes() const {
    QByteArray bytes = int32Bytes(next);
    bytes.resize(Size, '\0');
    writeShortString(bytes.data() + 4, SuffixWidth, suffix);
    return bytes;
}

CounterRecord CounterRecord::fromBytes(const QByteArray& bytes) {
    CounterRecord r;
    if (bytes.size() < Size)
        return r;
    r.next = int32FromBytes(bytes);
    r.suffix = readShortString(bytes.constData() + 4, SuffixWidth);
    return r;
}

QString counterFile(const Workstation& ws, DocumentKind kind) {
    return ws.dataPath(kindTexts(kind).counterSubPath);
}

bool ensureCounterFile(const Workstation& ws, DocumentKind kind) {
    if (ws.server)
        return ws.server->create(serverRecord(kind), CounterRecord{}.toBytes());
    const QString path = counterFile(ws, kind);
    if (files::exists(path))
        return false;
    const FileLock lock(ws, counterLockFile(ws, kind));
    if (files::exists(path)) // another workstation was quicker
        return false;
    files::replaceFile(path, CounterRecord{}.toBytes(), ws.faults);
    return true;
}

CounterRecord readCounter(const Workstation& ws, DocumentKind kind) {
    if (ws.server)
        return CounterRecord::fromBytes(
            serverCounterBytes(ws, kind, ws.server->read(serverRecord(kind))));
    return CounterRecord::fromBytes(readCounterBytes(ws, counterFile(ws, kind)));
}

void saveCounterParameters(const Workstation& ws, DocumentKind kind, const QString& numerkp,
                           const QString& rozszerzeniekp) {
    // The suffix is cut to its first 10 characters as it is stored.
    const CounterRecord record{readLeadingInt(numerkp), rozszerzeniekp};
    if (ws.server) {
        ws.server->change(serverRecord(kind),
                          [&](const std::optional<QByteArray>&) { return record.toBytes(); });
        return;
    }
    const FileLock lock(ws, counterLockFile(ws, kind));
    files::replaceFile(counterFile(ws, kind), record.toBytes(), ws.faults);
}

CounterFullError::CounterFullError()
    : std::runtime_error("voucher counter holds the largest number") {}

QString CounterFullError::text() const {
    return QStringLiteral("Numerator dokumentów osiągnął największą możliwą wartość. Wpisz nowy "
                          "numer i uruchom przycisk Zapisz parametry.");
}

CounterRecord takeVoucherNumber(const Workstation& ws, DocumentKind kind) {
    CounterRecord taken;
    if (ws.server) {
        ws.server->change(serverRecord(kind), [&](const std::optional<QByteArray>& content) {
            return advanced(serverCounterBytes(ws, kind, content), taken);
        });
        return taken;
    }
    const FileLock lock(ws, counterLockFile(ws, kind));
    // Read under the lock: the value read before another workstation's step is stale.
    const QString path = counterFile(ws, kind);
    files::replaceFile(path, advanced(readCounterBytes(ws, path), taken), ws.faults);
    return taken;
}

} // namespace kestrana
