#include "register/EntryList.h"

#include "platform/CodePage.h"
#include "platform/ShortString.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <future>
#include <system_error>

namespace kestrana {

namespace {

// Large blocks: a row never spans two, and a full block is never moved.
constexpr qsizetype kBlockSize = 1 << 20;
// A row: the view text (at most kListViewWidth bytes), the second name and the NIP, each after
// its length byte.
constexpr qsizetype kMaxRowSize = 3 + kListViewWidth + 60 + 40;

struct FieldBytes {
    const char* data;
    int size;
};

FieldBytes fieldBytes(const EntryRecord& record, Field f) {
    const FieldLayout& l = layoutOf(f);
    const char* field = record.data() + l.offset;
    return {field + 1, shortStringLength(field, l.width)};
}

// Appends `bytes` after its length byte, cut to `limit`.
char* putField(char* out, const char* bytes, int size, int limit) {
    const int n = std::min(size, limit);
    *out++ = static_cast<char>(n);
    std::memcpy(out, bytes, static_cast<size_t>(n));
    return out + n;
}

// Bytes whose character some other byte also decodes to: text holding one of them cannot be
// found by comparing bytes.
const std::array<bool, 256>& sharedCharacterBytes() {
    static const std::array<bool, 256> shared = [] {
        std::array<bool, 256> result{};
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString text = cp1250::decode(all);
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j)
                if (i != j && text[i] == text[j])
                    result[static_cast<size_t>(i)] = true;
        return result;
    }();
    return shared;
}

// The bytes of `text` when a line holds `text` exactly where its bytes hold these.
bool searchableBytes(const QString& text, QByteArray& bytes) {
    bytes = cp1250::encode(text);
    if (cp1250::decode(bytes) != text)
        return false;
    const auto& shared = sharedCharacterBytes();
    return std::none_of(bytes.cbegin(), bytes.cend(),
                        [&](char c) { return shared[static_cast<unsigned char>(c)]; });
}

// Packs what a line of `record` shows at `start`: the view text as listViewText() builds it,
// cut to the view's columns, the second name and the NIP, each after its length byte. Returns
// the end.
char* packRow(const EntryRecord& record, ViewMode mode, char* start) {
    char view[kListViewWidth + 40 + 1];
    const FieldBytes name = fieldBytes(record, Field::nazwa1);
    int viewSize = std::min(name.size, kShortNameLength);
    std::memcpy(view, name.data, static_cast<size_t>(viewSize));
    const auto appendField = [&](Field f) {
        const FieldBytes b = fieldBytes(record, f);
        std::memcpy(view + viewSize, b.data, static_cast<size_t>(b.size));
        viewSize += b.size;
    };
    switch (mode) {
    case ViewMode::NazwaKod:
        view[viewSize++] = ' ';
        appendField(Field::numer);
        break;
    case ViewMode::KodNazwa: {
        const FieldBytes code = fieldBytes(record, Field::numer);
        std::memmove(view + code.size + 1, view, static_cast<size_t>(viewSize));
        std::memcpy(view, code.data, static_cast<size_t>(code.size));
        view[code.size] = ' ';
        viewSize += code.size + 1;
        break;
    }
    case ViewMode::NazwaTelefon:
        view[viewSize++] = ' ';
        appendField(Field::telefon);
        break;
    case ViewMode::NazwaMail:
        view[viewSize++] = ' ';
        appendField(Field::mail);
        break;
    case ViewMode::Nazwa:
        break;
    }

    char* out = putField(start, view, viewSize, kListViewWidth);
    const FieldBytes second = fieldBytes(record, Field::nazwa2);
    out = putField(out, second.data, second.size, 255);
    const FieldBytes nip = fieldBytes(record, Field::nip);
    return putField(out, nip.data, nip.size, 255);
}

// The line of a packed row with record number `number`, in Windows-1250.
void unpackRow(const unsigned char* p, quint32 number, QByteArray& out) {
    out.resize(kListViewWidth + kListNumberWidth + kListGapWidth + 2 * 255 + 1);
    char* dst = out.data();
    const int viewSize = *p++;
    std::memcpy(dst, p, static_cast<size_t>(viewSize));
    p += viewSize;
    std::memset(dst + viewSize, ' ', static_cast<size_t>(kListViewWidth - viewSize));
    char* at = dst + kListViewWidth;
    char digits[24];
    int n = 0;
    for (;;) {
        digits[n++] = static_cast<char>('0' + number % 10);
        number /= 10;
        if (number == 0)
            break;
    }
    while (n > 0)
        *at++ = digits[--n];
    const qsizetype gapEnd = kListViewWidth + kListNumberWidth + kListGapWidth;
    std::memset(at, ' ', static_cast<size_t>(dst + gapEnd - at));
    at = dst + gapEnd;
    const int secondSize = *p++;
    std::memcpy(at, p, static_cast<size_t>(secondSize));
    p += secondSize;
    at += secondSize;
    *at++ = ' ';
    const int nipSize = *p++;
    std::memcpy(at, p, static_cast<size_t>(nipSize));
    at += nipSize;
    out.truncate(at - dst);
}

} // namespace

EntryList::EntryList() = default;
EntryList::~EntryList() = default;
EntryList::EntryList(EntryList&&) noexcept = default;
EntryList& EntryList::operator=(EntryList&&) noexcept = default;

void EntryList::clear() {
    blocks_.clear();
    blockUsed_ = 0;
    rows_.clear();
    rows_.shrink_to_fit();
}

void EntryList::append(const EntryRecord& record, qint64 recordNumber, ViewMode mode) {
    if (blocks_.empty() || blockUsed_ + kMaxRowSize > kBlockSize) {
        blocks_.push_back(std::make_unique<char[]>(static_cast<size_t>(kBlockSize)));
        blockUsed_ = 0;
    }
    char* const start = blocks_.back().get() + blockUsed_;
    char* const end = packRow(record, mode, start);
    const quint64 block = blocks_.size() - 1;
    rows_.push_back(
        Row{(block << 32) | static_cast<quint64>(blockUsed_), static_cast<quint32>(recordNumber)});
    blockUsed_ += end - start;
}

const unsigned char* EntryList::rowData(int row) const {
    const quint64 offset = rows_[static_cast<size_t>(row)].offset;
    return reinterpret_cast<const unsigned char*>(blocks_[offset >> 32].get() +
                                                  (offset & 0xffffffffu));
}

void EntryList::lineBytes(int row, QByteArray& out) const {
    unpackRow(rowData(row), rows_[static_cast<size_t>(row)].number, out);
}

void listLineBytes(const EntryRecord& record, qint64 recordNumber, ViewMode mode, QByteArray& out) {
    char packed[kMaxRowSize];
    packRow(record, mode, packed);
    unpackRow(reinterpret_cast<const unsigned char*>(packed), static_cast<quint32>(recordNumber),
              out);
}

QString EntryList::line(int row) const {
    QByteArray bytes;
    lineBytes(row, bytes);
    return cp1250::decode(bytes);
}

QStringList EntryList::lines() const {
    QStringList all;
    all.reserve(count());
    for (int row = 0; row < count(); ++row)
        all.append(line(row));
    return all;
}

int EntryList::rowOfRecord(qint64 number) const {
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [number](const Row& r) { return r.number == number; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

int EntryList::findNext(int selected, const QString& text) const {
    if (text.isEmpty())
        return -1;
    const int first = std::max(0, selected + 1);
    QByteArray needle;
    const bool byBytes = searchableBytes(text, needle);
    // The first row in [from, to) that holds the text, or -1; stops early once `enough` is set.
    const auto search = [&](int from, int to, const std::atomic<bool>* enough) {
        QByteArray bytes;
        for (int row = from; row < to; ++row) {
            if (enough && (row & 1023) == 0 && enough->load(std::memory_order_relaxed))
                return -1;
            if (!byBytes) {
                if (line(row).contains(text, Qt::CaseSensitive))
                    return row;
                continue;
            }
            lineBytes(row, bytes);
            if (::memmem(bytes.constData(), static_cast<size_t>(bytes.size()), needle.constData(),
                         static_cast<size_t>(needle.size())) != nullptr)
                return row;
        }
        return -1;
    };
    // A long stretch is searched on both cores: the second half on a thread of its own, which
    // gives up as soon as the first half has found the text.
    constexpr int kBothCoresFrom = 256;
    if (count() - first < kBothCoresFrom)
        return search(first, count(), nullptr);
    const int middle = first + (count() - first) / 2;
    std::atomic<bool> found{false};
    std::future<int> second;
    try {
        second = std::async(std::launch::async, [&] { return search(middle, count(), &found); });
    } catch (const std::system_error&) {
        return search(first, count(), nullptr); // no thread to be had: one core does it all
    }
    const int inFirst = search(first, middle, nullptr);
    if (inFirst >= 0) {
        found = true;
        second.wait();
        return inFirst;
    }
    return second.get();
}

} // namespace kestrana
