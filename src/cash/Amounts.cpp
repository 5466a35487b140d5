#include "cash/Amounts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <system_error>

namespace kestrana {

namespace {

constexpr int kAmountWidth = 8;
constexpr double kLargest = std::numeric_limits<double>::max();

double clampFinite(double value) {
    if (std::isnan(value))
        return 0;
    return std::clamp(value, -kLargest, kLargest);
}

// Adds one to a string of decimal digits.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

QString formatAmount(double value) {
    if (!std::isfinite(value)) {
        const char* text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
        return QString::fromLatin1(text).rightJustified(kAmountWidth, QLatin1Char(' '));
    }
    // The value as 18 significant digits d0.d1...d17 times ten to the power e.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    const std::string text(buffer);
    std::string mantissa;
    for (char c : text.substr(0, text.find('e')))
        if (c != '.')
            mantissa += c;
    const int exponent = std::stoi(text.substr(text.find('e') + 1));
    // Digit k stands for ten to the power (exponent - k); hundredths are digits k <= exponent + 2.
    const int lastKept = exponent + 2;
    std::string cents;
    for (int k = 0; k <= lastKept; ++k)
        cents += k < int(mantissa.size()) ? mantissa[k] : '0';
    const int decider = lastKept + 1;
    if (decider >= 0 && decider < int(mantissa.size()) && mantissa[decider] >= '5')
        incrementDigits(cents);
    const auto firstNonZero = cents.find_first_not_of('0');
    const bool zero = firstNonZero == std::string::npos;
    cents = zero ? std::string() : cents.substr(firstNonZero);
    if (cents.size() < 3)
        cents.insert(0, 3 - cents.size(), '0');
    cents.insert(cents.size() - 2, 1, '.');
    if (value < 0 && !zero)
        cents.insert(0, 1, '-');
    return QString::fromLatin1(cents).rightJustified(kAmountWidth, QLatin1Char(' '));
}

double readAmount(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::string whole;
    std::string fraction;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            (point ? fraction : whole) += char(c.unicode());
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    if (whole.empty() && fraction.empty())
        return 0;
    const std::string number =
        (whole.empty() ? "0" : whole) + '.' + (fraction.empty() ? "0" : fraction);
    double value = 0;
    // from_chars ignores the C locale, which the application sets from the environment.
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) // too large, or too small to be told from 0
        value = whole.find_first_not_of('0') != std::string::npos ? kLargest : 0;
    return negative ? -value : value;
}

std::optional<QChar> filterAmountKey(QChar key) {
    if (key == u',')
        return QChar(u'.');
    if ((key >= u'0' && key <= u'9') || key == u'.' || key == u'\b' || key == u'\r')
        return key;
    return std::nullopt;
}

QString reformatAmountCell(const QString& text) {
    const double value = readAmount(text);
    return value != 0 ? formatAmount(value) : text;
}

double gridTotal(const VoucherGrid& grid) {
    double total = 0;
    for (const QString& cell : grid.kwota)
        total += readAmount(cell);
    return clampFinite(total);
}

QString cashFieldText(const QString& gotowka) {
    return formatAmount(readAmount(gotowka));
}

std::optional<QString> changeText(const QString& gotowka, double total) {
    if (gotowka.isEmpty())
        return std::nullopt;
    return formatAmount(clampFinite(readAmount(gotowka) - total));
}

} // namespace kestrana
