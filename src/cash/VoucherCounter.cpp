#include "cash/VoucherCounter.h"

#include "platform/CheckedFile.h"
#include "platform/Numbers.h"
#include "platform/ShortString.h"
#include "register/FileLock.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <algorithm>
#include <limits>

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
    return CounterRecord::fromBytes(readCounterBytes(ws, counterFile(ws, kind)));
}

void saveCounterParameters(const Workstation& ws, DocumentKind kind, const QString& numerkp,
                           const QString& rozszerzeniekp) {
    // The suffix is cut to its first 10 characters as it is stored.
    const CounterRecord record{readLeadingInt(numerkp), rozszerzeniekp};
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
    const FileLock lock(ws, counterLockFile(ws, kind));
    // Read under the lock: the value read before another workstation's step is stale.
    const QString path = counterFile(ws, kind);
    QByteArray bytes = readCounterBytes(ws, path);
    const CounterRecord taken = CounterRecord::fromBytes(bytes);
    if (taken.next == std::numeric_limits<qint32>::max())
        throw CounterFullError();
    // The suffix goes back byte for byte (even bytes the code page leaves undefined); only the
    // bytes after it are zeroed.
    const int length =
        std::min<int>(static_cast<unsigned char>(bytes[4]), CounterRecord::SuffixWidth);
    bytes[4] = static_cast<char>(length);
    std::fill(bytes.begin() + 5 + length, bytes.end(), '\0');
    const QByteArray next = int32Bytes(taken.next + 1);
    std::copy(next.begin(), next.end(), bytes.begin());
    files::replaceFile(path, bytes, ws.faults);
    return taken;
}

} // namespace kestrana
