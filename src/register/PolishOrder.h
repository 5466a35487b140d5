#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCollator>

#include <array>

namespace kestrana {

// The collator that gives the register's alphabetical order: Polish, case-insensitive.
QCollator polishCollator();

// The Polish alphabetical order of Windows-1250 texts as weights, one byte per character (or a
// few for a character such as "ß", none for an ignorable one), read once from the collator.
//
// The collator compares the letters of two texts first (accents of foreign letters and case
// aside) and looks at accents only when the letters are all equal. Sort keys end in distinct
// record numbers, so their letters always differ somewhere and only that first level decides:
// comparing the weights as bytes gives the collator's order at the cost of a memcmp.
class PolishOrder {
public:
    // Built on first use; thread-safe.
    static const PolishOrder& instance();

    // Whether the weights reproduced the collator on the probes checked when they were built.
    // When not (an unexpected collation library), callers compare with the collator itself.
    bool exact() const { return exact_; }

    // Appends the weights of `text` to `out`. Every weight is at least 1, so a text that is the
    // beginning of a longer one comes first.
    void appendWeights(QByteArrayView text, QByteArray& out) const;
    QByteArray weights(QByteArrayView text) const {
        QByteArray out;
        appendWeights(text, out);
        return out;
    }
    // The one weight of a character that has exactly one (space, digits), 0 otherwise.
    quint8 singleWeight(char c) const;

    static constexpr int kMaxWeightsPerChar = 4;

private:
    PolishOrder();
    bool build(const QCollator& collator);
    bool selfCheck(const QCollator& collator) const;

    // [byte][0] is the number of weights, [1..] the weights.
    std::array<std::array<quint8, kMaxWeightsPerChar + 1>, 256> table_{};
    bool exact_ = false;
};

} // namespace kestrana
