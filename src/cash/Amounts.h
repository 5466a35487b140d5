#pragma once

#include "cash/VoucherGrid.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// Amounts as the voucher window shows and reads them.
namespace kestrana {

// A point and exactly two decimals, right-aligned in 8 characters (wider when needed):
// 12.5 -> "   12.50". A half is rounded away from zero, judged on the first 18 significant
// decimal digits of the value. A value that rounds to zero never shows a minus.
QString formatAmount(double value);

// The value of a typed amount: leading blanks skipped, an optional sign, digits with at most
// one point; reading stops at the first other character (so "12,5" reads as 12). No digits
// read as 0. Values beyond the range of double read as the largest finite one.
double readAmount(QStringView text);

// What a key typed into a "Kwota" cell becomes: a comma becomes a point; digits, the point,
// Backspace ('\b') and Enter ('\r') pass; every other key is dropped (empty).
std::optional<QChar> filterAmountKey(QChar key);

// A "Kwota" cell after the amounts are reformatted: its value in the amount format, or the text
// as typed when the value is 0 ("0", "0.00", empty, letters).
QString reformatAmountCell(const QString& text);

// The total of the ten "Kwota" cells (never infinite).
double gridTotal(const VoucherGrid& grid);

// The cash field after Enter or leaving it: its value in the amount format (empty -> "0.00").
QString cashFieldText(const QString& gotowka);

// The change shown in `reszta`, or empty while `gotowka` is empty (reszta then keeps its text).
std::optional<QString> changeText(const QString& gotowka, double total);

} // namespace kestrana
