#include "register/PolishOrder.h"

#include "platform/CodePage.h"

#include <QLocale>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace kestrana {

QCollator polishCollator() {
    QCollator collator(QLocale(QLocale::Polish, QLocale::Poland));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

namespace {

QString charOf(int byte) {
    const char c = static_cast<char>(byte);
    return cp1250::decode(&c, 1);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Comparisons at the collator's first level (letters), told apart from the accent level with
// probe letters appended.
class LetterProbe {
public:
    explicit LetterProbe(const QCollator& collator) : collator_(collator) {}

    // Texts with equal letters compare as an appended letter decides. Two probe pairs whose
    // ranges do not overlap rule out a letter left over in one text: it would have to lie in
    // both ranges.
    bool sameLetters(const QString& a, const QString& b) const {
        static const char16_t* const probes[2][2] = {{u"a", u"b"}, {u"y", u"z"}};
        for (const auto& p : probes) {
            const QString low = QString::fromUtf16(p[0]);
            const QString high = QString::fromUtf16(p[1]);
            if (collator_.compare(a + high, b + low) <= 0 ||
                collator_.compare(a + low, b + high) >= 0)
                return false;
        }
        return true;
    }
    int compare(const QString& a, const QString& b) const {
        return sameLetters(a, b) ? 0 : sign(collator_.compare(a, b));
    }

private:
    const QCollator& collator_;
};

} // namespace

const PolishOrder& PolishOrder::instance() {
    static const PolishOrder order;
    return order;
}

PolishOrder::PolishOrder() {
    const QCollator collator = polishCollator();
    exact_ = build(collator) && selfCheck(collator);
}

// Sorts the 256 characters into classes of equal letters, finds the classes that are a run of
// other classes (an expansion such as "ß" = "ss"), and numbers the rest in order.
bool PolishOrder::build(const QCollator& collator) {
    const LetterProbe probe(collator);
    const QString empty;

    std::vector<QString> reps;             // one character per class, in order
    std::vector<std::vector<int>> members; // the bytes of each class
    for (int byte = 0; byte < 256; ++byte) {
        const QString ch = charOf(byte);
        if (probe.sameLetters(ch, empty))
            continue; // ignorable: no weights
        // Insertion by binary search: a plain sort could misbehave if the collator were not
        // the order expected; the self-check then catches the mismatch.
        size_t lo = 0;
        size_t hi = reps.size();
        bool found = false;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            const int c = probe.compare(reps[mid], ch);
            if (c == 0) {
                members[mid].push_back(byte);
                found = true;
                break;
            }
            if (c < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (!found) {
            reps.insert(reps.begin() + static_cast<std::ptrdiff_t>(lo), ch);
            members.insert(members.begin() + static_cast<std::ptrdiff_t>(lo), {byte});
        }
    }

    const int classes = static_cast<int>(reps.size());
    // The largest class u with prefix + u not after the target.
    auto lastNotAfter = [&](const QString& prefix, const QString& target) {
        int lo = 0;
        int hi = classes;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (probe.compare(prefix + reps[mid], target) <= 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo - 1;
    };
    std::vector<std::vector<int>> parts(classes);
    for (int k = 1; k < classes; ++k) {
        // An expansion starts with the letter just before it, as "ss" follows "s".
        std::vector<int> run{k - 1};
        QString prefix = reps[k - 1];
        while (run.size() < kMaxWeightsPerChar && probe.compare(prefix, reps[k]) < 0) {
            const int u = lastNotAfter(prefix, reps[k]);
            if (u < 0)
                break;
            run.push_back(u);
            prefix += reps[u];
        }
        if (probe.compare(prefix, reps[k]) == 0)
            parts[k] = std::move(run);
    }

    std::vector<quint8> rank(classes, 0);
    int next = 1;
    for (int k = 0; k < classes; ++k) {
        if (parts[k].empty()) {
            if (next > 255)
                return false;
            rank[k] = static_cast<quint8>(next++);
        }
    }
    // Parts are shorter than the whole, so the recursion ends.
    std::function<bool(int, std::vector<quint8>&)> flatten = [&](int k, std::vector<quint8>& out) {
        if (parts[k].empty()) {
            out.push_back(rank[k]);
            return out.size() <= kMaxWeightsPerChar;
        }
        for (const int part : parts[k]) {
            if (!flatten(part, out))
                return false;
        }
        return true;
    };
    for (int k = 0; k < classes; ++k) {
        std::vector<quint8> w;
        if (!flatten(k, w))
            return false;
        for (const int byte : members[k]) {
            table_[byte][0] = static_cast<quint8>(w.size());
            std::copy(w.begin(), w.end(), table_[byte].begin() + 1);
        }
    }
    // Sort keys pad with spaces and end in digits: each must be one plain weight.
    if (singleWeight(' ') == 0)
        return false;
    for (char d = '0'; d <= '9'; ++d) {
        if (singleWeight(d) == 0)
            return false;
    }
    return true;
}

// Sort-key-like texts built from every byte, ordered by weights, must come out in the
// collator's order: checking each neighbouring pair checks the whole order.
bool PolishOrder::selfCheck(const QCollator& collator) const {
    struct Sample {
        QByteArray text;
        QByteArray weights;
    };
    std::vector<Sample> samples;
    for (int i = 0; i < 768; ++i) {
        QByteArray field;
        field.append(static_cast<char>(i % 256));
        if (i >= 256)
            field.append(static_cast<char>((i * 37 + 11) % 256));
        if (i >= 512)
            field.append(static_cast<char>((i * 101 + 3) % 256));
        const QByteArray text = field + QByteArray(79 - field.size(), ' ') +
                                QByteArray::number((i * 7919) % 999999 + 1);
        samples.push_back({text, weights(text)});
    }
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.weights < b.weights; });
    for (size_t i = 1; i < samples.size(); ++i) {
        if (collator.compare(cp1250::decode(samples[i - 1].text),
                             cp1250::decode(samples[i].text)) >= 0)
            return false;
    }
    return true;
}

void PolishOrder::appendWeights(QByteArrayView text, QByteArray& out) const {
    // Room for the most weights a text can have, then cut to those it has: a sort appends the
    // weights of a million keys, too many for an append per letter.
    const qsizetype start = out.size();
    out.resize(start + text.size() * kMaxWeightsPerChar);
    char* at = out.data() + start;
    for (const char c : text) {
        const auto& w = table_[static_cast<unsigned char>(c)];
        std::memcpy(at, w.data() + 1, kMaxWeightsPerChar);
        at += w[0];
    }
    out.resize(at - out.constData());
}

quint8 PolishOrder::singleWeight(char c) const {
    const auto& w = table_[static_cast<unsigned char>(c)];
    return w[0] == 1 ? w[1] : 0;
}

} // namespace kestrana
