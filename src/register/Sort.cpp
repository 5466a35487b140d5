#include "register/Sort.h"

#include "platform/BothCores.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "platform/PosixFile.h"
#include "platform/ShortString.h"
#include "register/FileLock.h"
#include "register/PolishOrder.h"

#include <QCollatorSortKey>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kestrana {

Field keyFieldOf(SortField field) {
    switch (field) {
    case SortField::Nazwa2:
        return Field::nazwa2;
    case SortField::Data:
        return Field::data;
    case SortField::Numer:
        return Field::numer;
    case SortField::Nazwa1:
        break;
    }
    return Field::nazwa1;
}

QString sortFieldName(SortField field) {
    switch (field) {
    case SortField::Nazwa2:
        return QStringLiteral("Nazwa II");
    case SortField::Data:
        return QStringLiteral("Data");
    case SortField::Numer:
        return QStringLiteral("Kod");
    case SortField::Nazwa1:
        break;
    }
    return QStringLiteral("Nazwa I");
}

QString sortQuestion(const QString& fieldName) {
    return QStringLiteral("Sortować dane w/g pola ") + fieldName + QStringLiteral(" ?");
}

namespace {

// The key field's stored bytes, at most the 79 columns of the key.
QByteArrayView keyBytes(const char* record, Field field) {
    const FieldLayout& l = layoutOf(field);
    const char* stored = record + l.offset;
    const int length = std::min(shortStringLength(stored, l.width), kSortKeyFieldWidth);
    return QByteArrayView(stored + 1, length);
}

QString keyText(QByteArrayView field, qint64 recordNumber) {
    return cp1250::decode(field.data(), field.size()) +
           QString(kSortKeyFieldWidth - field.size(), QLatin1Char(' ')) +
           QString::number(recordNumber);
}

[[noreturn]] void refuseLargeRegister(const QString& mainFile, qint64 count) {
    throw IoError(QStringLiteral("Sortowanie wpisów"), mainFile,
                  QStringLiteral("Plik zawiera %1 wpisów, a sortować można najwyżej 999 999 "
                                 "(numer wpisu w kluczu ma 6 cyfr). Plik nie został zmieniony.")
                      .arg(count));
}

// Keys as collation weights: the key field's weights and the record number's, in one arena; the
// padding spaces between them are only counted.
class WeightKeys {
public:
    // Fewer keys sort faster on one core than a thread starts.
    static constexpr size_t kParallelFrom = 1 << 14;

    explicit WeightKeys(qint64 expected) : order_(PolishOrder::instance()) {
        space_ = order_.singleWeight(' ');
        keys_.reserve(static_cast<size_t>(expected));
        arena_.reserve(expected * 40);
    }

    void add(QByteArrayView field, quint32 recordNumber) {
        Key key;
        key.offset = static_cast<quint32>(arena_.size());
        order_.appendWeights(field, arena_);
        key.fieldLength = static_cast<quint16>(arena_.size() - key.offset);
        key.padding = static_cast<quint8>(kSortKeyFieldWidth - field.size());
        const QByteArray digits = QByteArray::number(recordNumber);
        order_.appendWeights(digits, arena_);
        key.digits = static_cast<quint8>(digits.size());
        key.record = recordNumber;
        keys_.push_back(key);
    }

    std::vector<quint32> sorted() {
        // The arena may have moved while growing: compare through its final address.
        const auto* base = reinterpret_cast<const quint8*>(arena_.constData());
        const quint8 space = space_;
        const auto before = [base, space](const Key& a, const Key& b) {
            return less(base, space, a, b);
        };
        // Both halves at once on two cores, then merged. Every key differs from every other (the
        // record number ends it), so the order is the one sort of the whole gives.
        if (keys_.size() >= kParallelFrom) {
            const auto middle = keys_.begin() + static_cast<std::ptrdiff_t>(keys_.size() / 2);
            const auto sortFirstHalf = [&] { std::sort(keys_.begin(), middle, before); };
            std::thread firstHalf;
            try {
                firstHalf = std::thread(sortFirstHalf);
            } catch (const std::system_error&) {
                sortFirstHalf(); // no thread to be had: one core does both
            }
            std::sort(middle, keys_.end(), before);
            if (firstHalf.joinable())
                firstHalf.join();
            std::inplace_merge(keys_.begin(), middle, keys_.end(), before);
        } else {
            std::sort(keys_.begin(), keys_.end(), before);
        }
        std::vector<quint32> records;
        records.reserve(keys_.size());
        for (const Key& key : keys_)
            records.push_back(key.record);
        return records;
    }

private:
    struct Key {
        quint32 offset;
        quint16 fieldLength; // weights of the key field
        quint8 padding;      // spaces up to column 79
        quint8 digits;       // weights of the record number
        quint32 record;
    };

    // The weight at position i of the whole key, 0 past its end.
    static quint8 at(const quint8* w, quint8 space, const Key& k, int i) {
        if (i < k.fieldLength)
            return w[i];
        i -= k.fieldLength;
        if (i < k.padding)
            return space;
        i -= k.padding;
        return i < k.digits ? w[k.fieldLength + i] : 0;
    }

    static bool less(const quint8* base, quint8 space, const Key& a, const Key& b) {
        const quint8* wa = base + a.offset;
        const quint8* wb = base + b.offset;
        // Most keys differ within the key field.
        const int common = std::min(a.fieldLength, b.fieldLength);
        const int c = std::memcmp(wa, wb, static_cast<size_t>(common));
        if (c != 0)
            return c < 0;
        for (int i = common;; ++i) {
            const quint8 x = at(wa, space, a, i);
            const quint8 y = at(wb, space, b, i);
            if (x != y)
                return x < y;
            if (x == 0)
                return false;
        }
    }

    const PolishOrder& order_;
    quint8 space_ = 0;
    std::vector<Key> keys_;
    QByteArray arena_;
};

// Keys as the collator's own sort keys of the key texts.
class CollatorKeys {
public:
    explicit CollatorKeys(qint64 expected) : collator_(polishCollator()) {
        keys_.reserve(static_cast<size_t>(expected));
    }

    void add(QByteArrayView field, quint32 recordNumber) {
        keys_.push_back({collator_.sortKey(keyText(field, recordNumber)), recordNumber});
    }

    std::vector<quint32> sorted() {
        std::sort(keys_.begin(), keys_.end(),
                  [](const Key& a, const Key& b) { return a.key.compare(b.key) < 0; });
        std::vector<quint32> records;
        records.reserve(keys_.size());
        for (const Key& key : keys_)
            records.push_back(key.record);
        return records;
    }

private:
    struct Key {
        QCollatorSortKey key;
        quint32 record;
    };

    QCollator collator_;
    std::vector<Key> keys_;
};

template <typename Keys>
std::vector<quint32> sortKeysOf(const RecordScan& scan, qint64 count, SortField field,
                                const QString& where) {
    if (count > kMaxSortEntries)
        refuseLargeRegister(where, count);
    Keys keys(count);
    const Field keyField = keyFieldOf(field);
    qint64 read = 0;
    scan([&](const char* record) {
        // The register may have grown since it was measured.
        if (++read > kMaxSortEntries)
            refuseLargeRegister(where, read);
        keys.add(keyBytes(record, keyField), static_cast<quint32>(read));
    });
    return keys.sorted();
}

template <typename Keys>
std::vector<quint32> sortKeysOf(const QString& mainFile, SortField field,
                                files::FaultInjector* faults) {
    return sortKeysOf<Keys>(
        [&](const std::function<void(const char*)>& visit) {
            files::RecordReader reader(mainFile, EntryRecord::Size, faults);
            while (const char* record = reader.next())
                visit(record);
            reader.close();
        },
        files::recordCount(mainFile, EntryRecord::Size), field, mainFile);
}

// One pass over the entries in key order writes both files: the scratch copy in ascending
// order, over the old one (the main file stays untouched whatever happens to it), and the new
// main file, ascending or reversed, through a temporary file renamed over the old one once the
// scratch copy is complete. Both cores work on blocks of the order, each taking the next one
// when it is free: it reads the block's records by their record numbers (a read by position costs
// more in the system than in copying) and writes the block where it belongs in both files.
void writeSortedFiles(const QString& mainFile, const QString& scratchFile,
                      const std::vector<quint32>& order, bool descending,
                      files::FaultInjector* faults) {
    files::FileWriter scratch(scratchFile, files::FileWriter::Mode::Overwrite, 1, faults);
    files::FileWriter out(mainFile, files::FileWriter::Mode::Atomic, 1, faults);
    const files::posix::Fd main(mainFile, O_RDONLY, files::posix::kNewFileMode, false, faults);
    constexpr qint64 kSize = EntryRecord::Size;
    constexpr qint64 kBlock = 4096;
    const qint64 total = static_cast<qint64>(order.size());
    const qint64 blocks = (total + kBlock - 1) / kBlock;
    struct Buffers {
        QByteArray gathered;
        QByteArray reversed;
    };
    Buffers buffers[2];
    std::vector<char> written(static_cast<size_t>(blocks), 0); // in the scratch copy, by block
    try {
        shareOnBothCores(blocks, [&](qint64 block, int core) {
            const qint64 first = block * kBlock;
            const qint64 n = std::min(kBlock, total - first);
            Buffers& mine = buffers[core];
            if (mine.gathered.isEmpty())
                mine.gathered = QByteArray(kBlock * kSize, Qt::Uninitialized);
            char* at = mine.gathered.data();
            for (qint64 i = first; i < first + n; ++i, at += kSize) {
                const qint64 position = static_cast<qint64>(order[static_cast<size_t>(i)] - 1);
                files::posix::readExactlyAt(main.get(), position * kSize, at, kSize, mainFile,
                                            faults);
            }
            const QByteArrayView records(mine.gathered.constData(), n * kSize);
            scratch.writeAt(first * kSize, records);
            written[static_cast<size_t>(block)] = 1;
            if (!descending) {
                out.writeAt(first * kSize, records);
                return;
            }
            if (mine.reversed.isEmpty())
                mine.reversed = QByteArray(kBlock * kSize, Qt::Uninitialized);
            for (qint64 i = 0; i < n; ++i)
                std::memcpy(mine.reversed.data() + (n - 1 - i) * kSize, records.data() + i * kSize,
                            kSize);
            out.writeAt((total - first - n) * kSize,
                        QByteArrayView(mine.reversed.constData(), n * kSize));
        });
    } catch (...) {
        // The scratch copy keeps the blocks written without a gap from its start.
        const auto complete = std::find(written.begin(), written.end(), 0) - written.begin();
        scratch.endAt(std::min(total, static_cast<qint64>(complete) * kBlock) * kSize);
        throw;
    }
    scratch.commit();
    out.commit();
}

} // namespace

QString sortKeyText(const EntryRecord& record, SortField field, qint64 recordNumber) {
    return keyText(keyBytes(record.data(), keyFieldOf(field)), recordNumber);
}

std::vector<quint32> sortedRecordNumbers(const QString& mainFile, SortField field, KeyMethod method,
                                         files::FaultInjector* faults) {
    return method == KeyMethod::Weights ? sortKeysOf<WeightKeys>(mainFile, field, faults)
                                        : sortKeysOf<CollatorKeys>(mainFile, field, faults);
}

std::vector<quint32> sortedRecordNumbers(const QString& mainFile, SortField field,
                                         files::FaultInjector* faults) {
    return sortedRecordNumbers(
        mainFile, field,
        PolishOrder::instance().exact() ? KeyMethod::Weights : KeyMethod::CollatorKeys, faults);
}

std::vector<quint32> sortedRecordNumbers(const RecordScan& scan, qint64 count, SortField field,
                                         const QString& where) {
    return PolishOrder::instance().exact() ? sortKeysOf<WeightKeys>(scan, count, field, where)
                                           : sortKeysOf<CollatorKeys>(scan, count, field, where);
}

void sortRegister(const Workstation& ws, SortField field, bool descending) {
    const QString mainFile = ws.mainFile();
    // Held from the first read to the rename, so no change of another workstation falls
    // between reading the entries and replacing the file.
    const FileLock lock(ws, lockPathFor(mainFile));
    const std::vector<quint32> order = sortedRecordNumbers(mainFile, field, ws.faults);
    writeSortedFiles(mainFile, ws.scratchFile(), order, descending, ws.faults);
}

} // namespace kestrana
