#pragma once

#include <QString>

#include <optional>

namespace kestrana {

// The amount in Polish words followed by one blank and `unit`, in the office's own simplified
// wording: one plural per order of magnitude, the blanks of the word pieces kept (some results
// hold two blanks in a row), fixed texts for exactly 10, 100, 1000, 10000 and 100000. A negative
// amount is worded without its sign; 0 gives one blank and the unit.
QString KwotaSlownie(qint32 amount, const QString& unit);

// The largest whole złoty a voucher can state in words (the whole złoty are a 32-bit value).
inline constexpr qint32 kLargestWordedZloty = 2147483647;

// Whether a voucher total can be worded: finite, and its whole złoty fit 32 bits. Negative
// totals fit (they are worded as nothing).
bool voucherTotalFits(double total);

// The words line of a voucher: "Słownie :", the złoty in words, one blank, the grosze in words.
// Either part is empty below 1 (so 0 and negative totals give "Słownie : "). Empty when the
// total does not fit (voucherTotalFits); such a voucher must not be printed.
std::optional<QString> wordsLine(double total);

// Shown instead of printing a voucher whose total does not fit.
QString totalTooLargeMessage();

} // namespace kestrana
