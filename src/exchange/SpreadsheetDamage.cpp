#include "exchange/SpreadsheetDamage.h"

#include "exchange/CsvColumns.h"
#include "register/PolishIdentifiers.h"

#include <QRegularExpression>

#include <optional>

namespace kestrana::csv {

namespace {

constexpr int kAccountDigits = 26;

QString quoted(const QString& text) {
    return QStringLiteral("„") + text + QStringLiteral("”");
}

QString inColumn(Field field, const QString& text) {
    return QStringLiteral("kolumna %1: ").arg(quoted(fixedHeadings()[static_cast<int>(field)])) +
           text;
}

bool exponentForm(const QString& text) {
    // Most texts have no 'E' at all: no need to ask the expression.
    if (!text.contains(QLatin1Char('E'), Qt::CaseInsensitive))
        return false;
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?\\d+([.,]\\d+)?[eE][+-]?\\d+\\s*$"));
    return number.match(text).hasMatch();
}

// The account's digits: blanks and dashes dropped, a leading "PL" too; empty when anything
// else stands between them.
QString accountDigits(const QString& text) {
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1String("PL"), Qt::CaseInsensitive))
        rest = rest.mid(2);
    QString digits;
    for (const QChar c : std::as_const(rest)) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
        else if (c != QLatin1Char(' ') && c != QLatin1Char('-') && c != QChar::Nbsp)
            return {};
    }
    return digits;
}

// The lengths an identifier may have.
QList<int> lengths(polishid::Kind kind) {
    switch (kind) {
    case polishid::Kind::Nip:
        return {10};
    case polishid::Kind::Pesel:
        return {11};
    case polishid::Kind::Regon:
        return {9, 14};
    case polishid::Kind::Nrb:
        return {kAccountDigits};
    }
    return {};
}

// The digits with as many zeros in front as make them valid, when that is what they lack.
template <typename Valid>
std::optional<QString> withLostZeros(const QString& digits, const QList<int>& allowed,
                                     const Valid& valid) {
    if (digits.isEmpty())
        return std::nullopt;
    for (const int length : allowed) {
        if (digits.size() < length) {
            const QString padded = QString(length - digits.size(), QLatin1Char('0')) + digits;
            return valid(padded) ? std::optional<QString>(padded) : std::nullopt;
        }
    }
    return std::nullopt;
}

QString lostZeros(const QString& text, const QString& digits, const QString& padded) {
    const bool one = padded.size() - digits.size() == 1;
    return QStringLiteral("%1 jest poprawny dopiero %2 (%3): arkusz mógł %4 usunąć")
        .arg(quoted(text),
             one ? QStringLiteral("z zerem na początku") : QStringLiteral("z zerami na początku"),
             quoted(padded), one ? QStringLiteral("go") : QStringLiteral("je"));
}

std::optional<QString> identifierDamage(polishid::Kind kind, const QString& text) {
    const polishid::Verdict verdict = polishid::check(kind, text);
    if (verdict.state != polishid::Verdict::Invalid)
        return std::nullopt;
    const QString digits = polishid::digitsOf(kind, text);
    if (digits.isEmpty())
        return std::nullopt; // words, not a number a spreadsheet could have changed
    const auto valid = [kind](const QString& d) {
        return polishid::check(kind, d).state == polishid::Verdict::Valid;
    };
    if (const auto padded = withLostZeros(digits, lengths(kind), valid))
        return lostZeros(text, digits, *padded);
    return QStringLiteral("%1: %2").arg(quoted(text), verdict.reason);
}

std::optional<QString> accountDamage(const QString& text) {
    const QString digits = accountDigits(text);
    if (digits.isEmpty() || digits.size() > kAccountDigits)
        return std::nullopt;
    if (digits.size() == kAccountDigits)
        return validAccountNumber(digits)
                   ? std::nullopt
                   : std::optional<QString>(
                         QStringLiteral("%1: cyfry kontrolne numeru rachunku się nie zgadzają")
                             .arg(quoted(text)));
    // A shorter number may be an account that lost its zeros, or just another kind of account.
    if (const auto padded = withLostZeros(digits, {kAccountDigits}, validAccountNumber))
        return lostZeros(text, digits, *padded);
    return std::nullopt;
}

} // namespace

bool validAccountNumber(const QString& text) {
    const QString digits = accountDigits(text);
    return digits.size() == kAccountDigits &&
           polishid::check(polishid::Kind::Nrb, digits).state == polishid::Verdict::Valid;
}

QStringList spreadsheetDamage(const EntryRecord& record) {
    QStringList reasons;
    for (int f = 0; f < kTextFieldCount; ++f) {
        const auto field = static_cast<Field>(f);
        const QString text = record.text(field);
        if (text.trimmed().isEmpty())
            continue;
        if (exponentForm(text)) {
            reasons << inColumn(field, QStringLiteral("liczba w zapisie wykładniczym (%1): arkusz "
                                                      "zaokrąglił długi numer")
                                           .arg(quoted(text)));
            continue;
        }
        std::optional<QString> damage;
        if (field == Field::nip)
            damage = identifierDamage(polishid::Kind::Nip, text);
        else if (field == Field::pesel)
            damage = identifierDamage(polishid::Kind::Pesel, text);
        else if (field == Field::regon)
            damage = identifierDamage(polishid::Kind::Regon, text);
        else if (field == Field::konto)
            damage = accountDamage(text);
        if (damage)
            reasons << inColumn(field, *damage);
    }
    return reasons;
}

} // namespace kestrana::csv
