#include "exchange/CsvImport.h"

#include "exchange/CsvColumns.h"
#include "platform/CodePage.h"
#include "register/EntryForm.h"

#include <array>
#include <limits>
#include <optional>

namespace kestrana::csv {

namespace {

// Spreadsheets pad every row to the widest one: empty cells past the last column mean nothing.
void dropTrailingEmptyCells(QStringList& cells) {
    while (cells.size() > kColumnCount && cells.back().trimmed().isEmpty())
        cells.removeLast();
}

bool isBlank(const QStringList& cells) {
    for (const QString& cell : cells) {
        if (!cell.trimmed().isEmpty())
            return false;
    }
    return true;
}

QString quoted(const QString& text) {
    return QStringLiteral("„") + text + QStringLiteral("”");
}

QString headerProblem(const QStringList& header) {
    const QString prefix = QStringLiteral("Plik nie jest eksportem listy wpisów: ");
    if (header.size() != kColumnCount)
        return prefix + QStringLiteral("jego pierwszy wiersz ma %1, a powinien mieć %2 "
                                       "(rozdzielonych średnikami, przecinkami albo tabulatorami).")
                            .arg(countText(header.size(), QStringLiteral("kolumnę"),
                                           QStringLiteral("kolumny"), QStringLiteral("kolumn")))
                            .arg(kColumnCount);
    const QStringList& expected = fixedHeadings();
    for (int c = 0; c < expected.size(); ++c) {
        if (header[c].trimmed().compare(expected[c], Qt::CaseInsensitive) != 0)
            return prefix + QStringLiteral("kolumna %1 ma nagłówek %2 zamiast %3.")
                                .arg(c + 1)
                                .arg(quoted(header[c]), quoted(expected[c]));
    }
    return {};
}

// The first character of `text` that Windows-1250 has no byte for, or an empty string.
QString missingCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80)
            continue;
        if (c.isSurrogate())
            return i + 1 < text.size() && c.isHighSurrogate() ? text.mid(i, 2) : QString(c);
        if (cp1250::encodeChar(c.unicode()) == '?')
            return QString(c);
    }
    return {};
}

QString textProblem(const QString& heading, const QString& text, int width) {
    const QString missing = missingCharacter(text);
    if (missing == QString(QChar(QChar::ReplacementCharacter)))
        return QStringLiteral("kolumna %1: bajt, który nie jest znakiem w kodowaniu UTF-8 pliku")
            .arg(quoted(heading));
    if (!missing.isEmpty())
        return QStringLiteral("kolumna %1: znaku %2 nie ma w polskim kodowaniu Windows-1250")
            .arg(quoted(heading), quoted(missing));
    if (text.size() > width)
        return QStringLiteral("kolumna %1: tekst dłuższy niż %2 znaków (ma %3)")
            .arg(quoted(heading))
            .arg(width)
            .arg(text.size());
    return {};
}

// A flag cell: "tak" sets it, "nie" and an empty cell leave it unset.
std::optional<bool> readMark(const QString& cell) {
    const QString value = cell.trimmed();
    if (value.isEmpty() || value.compare(QLatin1String("nie"), Qt::CaseInsensitive) == 0)
        return false;
    if (value.compare(markText(), Qt::CaseInsensitive) == 0)
        return true;
    return std::nullopt;
}

// How many of the fixed headings the first row gives, in their places.
int headingsMatched(const QStringList& header) {
    const QStringList& expected = fixedHeadings();
    int matched = 0;
    for (qsizetype c = 0; c < std::min(header.size(), expected.size()); ++c) {
        if (header[c].trimmed().compare(expected[c], Qt::CaseInsensitive) == 0)
            ++matched;
    }
    return matched;
}

} // namespace

QChar detectSeparator(QStringView text) {
    constexpr std::array<QChar, 3> candidates = {QLatin1Char(';'), QLatin1Char(','),
                                                 QLatin1Char('\t')};
    QChar best = candidates[0];
    int bestMatched = -1;
    qsizetype bestCells = -1;
    for (const QChar separator : candidates) {
        const Parsed first = parse(text, separator, 1);
        const QStringList header = first.rows.isEmpty() ? QStringList() : first.rows[0].fields;
        const int matched = headingsMatched(header);
        if (matched > bestMatched || (matched == bestMatched && header.size() > bestCells)) {
            best = separator;
            bestMatched = matched;
            bestCells = header.size();
        }
    }
    return best;
}

void RowConverter::problem(const RowProblem& problem) {
    if (problem.tooLong) {
        started_ = true;
        out_.refusal = QStringLiteral("Plik nie został wczytany: wiersz %1 jest za długi (%2).")
                           .arg(problem.number)
                           .arg(problem.reason);
        return;
    }
    if (!started_) {
        started_ = true;
        out_.refusal = QStringLiteral("Plik nie jest eksportem listy wpisów: wiersz nagłówka jest "
                                      "uszkodzony (niezamknięty cudzysłów).");
    }
    if (out_.refusal.isEmpty())
        out_.skipped.append({problem.number, problem.reason});
}

void RowConverter::row(const Row& row) {
    if (!started_) {
        started_ = true;
        header_ = row.fields;
        dropTrailingEmptyCells(header_);
        out_.refusal = headerProblem(header_);
        return;
    }
    if (!out_.refusal.isEmpty())
        return;
    QStringList cells = row.fields;
    for (QString& cell : cells)
        cell = unguardFormula(cell);
    dropTrailingEmptyCells(cells);
    if (isBlank(cells))
        return;
    if (cells.size() != kColumnCount) {
        out_.skipped.append(
            {row.number, QStringLiteral("%1 zamiast %2")
                             .arg(countText(cells.size(), QStringLiteral("kolumna"),
                                            QStringLiteral("kolumny"), QStringLiteral("kolumn")))
                             .arg(kColumnCount)});
        return;
    }
    QStringList reasons;
    // A NUL ends the text for many programs that read the register's files or the exports.
    for (int c = 0; c < kColumnCount; ++c) {
        if (cells[c].contains(QChar(0)))
            reasons << QStringLiteral("kolumna %1: pole zawiera znak NUL (bajt zerowy)")
                           .arg(quoted(header_[c]));
    }
    if (!reasons.isEmpty()) {
        out_.skipped.append({row.number, reasons.join(QStringLiteral("; "))});
        return;
    }
    EntryFormValues form;
    for (int f = 1; f < kTextFieldCount; ++f) {
        const QString problem = textProblem(header_[f], cells[f], fieldLayouts()[f].width);
        if (!problem.isEmpty())
            reasons << problem;
        form.texts[f] = cells[f];
    }
    for (int c = kMarkColumn; c < kColumnCount; ++c) {
        const std::optional<bool> mark = readMark(cells[c]);
        if (!mark) {
            reasons << QStringLiteral("kolumna %1: %2 zamiast %3 lub pustego pola")
                           .arg(quoted(header_[c]), quoted(cells[c]), quoted(markText()));
            continue;
        }
        if (c == kMarkColumn)
            form.umowa = *mark;
        else if (c < kFirstGroupColumn)
            form.k[c - kFirstCategoryColumn] = *mark;
        else
            form.z[c - kFirstGroupColumn] = *mark;
    }
    if (!reasons.isEmpty()) {
        out_.skipped.append({row.number, reasons.join(QStringLiteral("; "))});
        return;
    }
    EntryRecord record;
    formToRecord(form, record, true);
    if (sink_) {
        sink_(row.number, record);
        return;
    }
    out_.records.push_back(record);
    out_.rows.append(row.number);
}

Conversion RowConverter::finish() {
    if (!started_)
        out_.refusal = QStringLiteral("Plik jest pusty.");
    if (!out_.refusal.isEmpty()) {
        out_.records.clear();
        out_.rows.clear();
        out_.skipped.clear();
    }
    return std::move(out_);
}

Conversion convertRows(const Parsed& parsed) {
    RowConverter converter;
    qsizetype nextProblem = 0;
    const auto problemsBefore = [&](int row) {
        while (nextProblem < parsed.problems.size() && parsed.problems[nextProblem].number < row)
            converter.problem(parsed.problems[nextProblem++]);
    };
    for (const Row& row : parsed.rows) {
        problemsBefore(row.number);
        converter.row(row);
    }
    problemsBefore(std::numeric_limits<int>::max());
    return converter.finish();
}

QString countText(qint64 n, const QString& one, const QString& few, const QString& many) {
    const qint64 tens = n % 100;
    const QString& noun = n == 1                                                     ? one
                          : (n % 10 >= 2 && n % 10 <= 4 && (tens < 12 || tens > 14)) ? few
                                                                                     : many;
    return QString::number(n) + QLatin1Char(' ') + noun;
}

QString entryCount(qint64 n) {
    return countText(n, QStringLiteral("wpis"), QStringLiteral("wpisy"), QStringLiteral("wpisów"));
}

QString rowCount(qint64 n) {
    return countText(n, QStringLiteral("wiersz"), QStringLiteral("wiersze"),
                     QStringLiteral("wierszy"));
}

} // namespace kestrana::csv
