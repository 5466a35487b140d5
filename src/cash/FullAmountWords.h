#pragma once

#include <QString>

#include <optional>

namespace kestrana {

// Amounts in words as Polish grammar has them ("Słownie z pełną odmianą"), beside the office's
// own simplified wording of AmountWords.h, which stays the default.

// The largest amount fullAmountWords words (the orders go up to the milliards).
inline constexpr qint64 kLargestFullWords = 999'999'999'999;

// A whole number from 0 to kLargestFullWords in words, one blank between words: "zero",
// "jeden tysiąc dwieście", "dwa miliony pięćset tysięcy". The order words agree with their
// number (tysiąc, tysiące, tysięcy) and a single one before them is written out.
QString fullAmountWords(qint64 amount);

// The form of a counted noun after `count` (0 or more): `one` for exactly 1, `few` for counts
// ending in 2, 3 or 4 except 12 to 14, `many` for the rest ("jeden złoty", "dwadzieścia dwa
// złote", "dwanaście złotych", "sto jeden złotych").
QString countedForm(qint64 count, const QString& one, const QString& few, const QString& many);

// Whether a total can be worded in full: finite, and its whole złoty, sign aside, no more than
// the largest a voucher states (kLargestWordedZloty).
bool fullWordsFit(double total);

// The words line of a voucher in full Polish: "Słownie: " followed by the złoty in words and
// their unit, then the grosze and theirs when there are any; one blank between words and none
// at the end. No złoty read "zero złotych"; a negative total starts with "minus". Empty when the
// total does not fit (fullWordsFit).
std::optional<QString> fullWordsLine(double total);

} // namespace kestrana
