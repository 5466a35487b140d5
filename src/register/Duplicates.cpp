#include "register/Duplicates.h"

#include "register/DuplicateKeys.h"
#include "register/EntryStore.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <string>

namespace kestrana::duplicates {

namespace {

// FNV-1a over the key, started from the reason so that equal texts of two kinds differ.
std::uint64_t hashKey(const std::string& key, unsigned reason) {
    std::uint64_t h = 14695981039346656037ull ^ reason;
    for (const char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

struct Keyed {
    std::uint64_t hash;
    qint64 position;
    bool operator<(const Keyed& other) const {
        return hash != other.hash ? hash < other.hash : position < other.position;
    }
};

// Disjoint sets over indexes.
class Sets {
public:
    explicit Sets(size_t count) : parent_(count), reasons_(count, 0) {
        std::iota(parent_.begin(), parent_.end(), size_t(0));
    }
    size_t root(size_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void join(size_t a, size_t b, unsigned reason) {
        a = root(a);
        b = root(b);
        if (a != b)
            parent_[std::max(a, b)] = std::min(a, b);
        const size_t r = std::min(a, b);
        reasons_[r] |= reasons_[std::max(a, b)] | reason;
    }
    unsigned reasons(size_t i) { return reasons_[root(i)]; }

private:
    std::vector<size_t> parent_;
    std::vector<unsigned> reasons_;
};

const std::string& keyOf(const EntryKeys& keys, unsigned reason) {
    return reason == SameNip ? keys.nip : reason == SameRegon ? keys.regon : keys.nameTown;
}

constexpr unsigned kReasons[] = {SameNip, SameRegon, SameNameAndTown};

} // namespace

std::vector<Group> find(EntryStore& store) {
    // The one pass: a hash per key that the entry has.
    std::vector<Keyed> keyed;
    EntryKeys keys;
    store.scan([&](qint64 position, const char* record) {
        entryKeys(record, keys);
        for (const unsigned reason : kReasons) {
            if (const std::string& key = keyOf(keys, reason); !key.empty())
                keyed.push_back({hashKey(key, reason), position});
        }
    });
    std::sort(keyed.begin(), keyed.end());

    // Entries whose hash another entry shares; almost always a real match.
    std::vector<qint64> candidates;
    for (size_t i = 0; i < keyed.size();) {
        size_t end = i + 1;
        while (end < keyed.size() && keyed[end].hash == keyed[i].hash)
            ++end;
        if (end - i > 1) {
            for (size_t k = i; k < end; ++k)
                candidates.push_back(keyed[k].position);
        }
        i = end;
    }
    std::vector<Keyed>().swap(keyed);
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    // The candidates read again and grouped by their keys themselves.
    std::vector<Member> members(candidates.size());
    Sets sets(candidates.size());
    std::map<std::pair<unsigned, std::string>, size_t> first;
    for (size_t i = 0; i < candidates.size(); ++i) {
        members[i].position = candidates[i];
        store.read(candidates[i], members[i].record);
        entryKeys(members[i].record.data(), keys);
        for (const unsigned reason : kReasons) {
            const std::string& key = keyOf(keys, reason);
            if (key.empty())
                continue;
            const auto [at, added] = first.try_emplace({reason, key}, i);
            if (!added)
                sets.join(at->second, i, reason);
        }
    }

    std::vector<Group> groups;
    std::vector<qsizetype> groupOfRoot(candidates.size(), -1);
    for (size_t i = 0; i < candidates.size(); ++i) {
        const size_t root = sets.root(i);
        if (sets.reasons(root) == 0)
            continue; // its hash met another's, its keys did not
        if (groupOfRoot[root] < 0) {
            groupOfRoot[root] = qsizetype(groups.size());
            groups.push_back({sets.reasons(root), {}});
        }
        groups[size_t(groupOfRoot[root])].members.push_back(std::move(members[i]));
    }
    return groups;
}

QString reasonText(unsigned reasons) {
    QStringList words;
    if (reasons & SameNip)
        words << QStringLiteral("ten sam NIP");
    if (reasons & SameRegon)
        words << QStringLiteral("ten sam REGON");
    if (reasons & SameNameAndTown)
        words << QStringLiteral("ta sama nazwa i miejscowość");
    return words.join(QStringLiteral(", "));
}

QString groupHeading(int number, const Group& group) {
    const qsizetype n = qsizetype(group.members.size());
    // 2-4 wpisy, 5-21 wpisów, 22-24 wpisy ...
    const bool few = n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14);
    return QStringLiteral("Grupa %1 (%2 %3): %4")
        .arg(number)
        .arg(n)
        .arg(few ? QStringLiteral("wpisy") : QStringLiteral("wpisów"), reasonText(group.reasons));
}

QString memberLine(const Member& member) {
    const EntryRecord& r = member.record;
    QString name = r.text(Field::nazwa1).trimmed();
    if (const QString second = r.text(Field::nazwa2).trimmed(); !second.isEmpty())
        name += QLatin1Char(' ') + second;
    return QStringList{QStringLiteral("ID ") + r.text(Field::id),
                       QStringLiteral("kod ") + r.text(Field::numer),
                       QStringLiteral("data ") + r.text(Field::data),
                       QStringLiteral("zmiana ") + r.text(Field::datamodyfikacji),
                       QStringLiteral("NIP ") + r.text(Field::nip),
                       QStringLiteral("REGON ") + r.text(Field::regon),
                       name,
                       r.text(Field::miejscowosc)}
        .join(QLatin1Char('\t'));
}

} // namespace kestrana::duplicates
