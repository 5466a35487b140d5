#include "exchange/CsvImport.h"

#include "exchange/CsvColumns.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/Editing.h"
#include "register/EntryForm.h"
#include "register/FileLock.h"
#include "station/SmallRecords.h"

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
                                       "(rozdzielonych średnikami).")
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

} // namespace

Conversion convertRows(const Parsed& parsed) {
    Conversion out;
    if (parsed.rows.isEmpty() || parsed.rows.front().number != 1) {
        const bool empty = parsed.rows.isEmpty() && parsed.problems.isEmpty();
        out.refusal = empty ? QStringLiteral("Plik jest pusty.")
                            : QStringLiteral("Plik nie jest eksportem listy wpisów: wiersz "
                                             "nagłówka jest uszkodzony (niezamknięty cudzysłów).");
        return out;
    }
    QStringList header = parsed.rows.front().fields;
    dropTrailingEmptyCells(header);
    out.refusal = headerProblem(header);
    if (!out.refusal.isEmpty())
        return out;

    qsizetype nextProblem = 0;
    const auto reportProblemsBefore = [&](int row) {
        while (nextProblem < parsed.problems.size() && parsed.problems[nextProblem].number < row) {
            const RowProblem& p = parsed.problems[nextProblem++];
            out.skipped.append({p.number, p.reason});
        }
    };
    for (qsizetype r = 1; r < parsed.rows.size(); ++r) {
        const Row& row = parsed.rows[r];
        reportProblemsBefore(row.number);
        QStringList cells = row.fields;
        dropTrailingEmptyCells(cells);
        if (isBlank(cells))
            continue;
        if (cells.size() != kColumnCount) {
            out.skipped.append(
                {row.number,
                 QStringLiteral("%1 zamiast %2")
                     .arg(countText(cells.size(), QStringLiteral("kolumna"),
                                    QStringLiteral("kolumny"), QStringLiteral("kolumn")))
                     .arg(kColumnCount)});
            continue;
        }
        QStringList reasons;
        EntryFormValues form;
        for (int f = 1; f < kTextFieldCount; ++f) {
            const QString problem = textProblem(header[f], cells[f], fieldLayouts()[f].width);
            if (!problem.isEmpty())
                reasons << problem;
            form.texts[f] = cells[f];
        }
        for (int c = kMarkColumn; c < kColumnCount; ++c) {
            const std::optional<bool> mark = readMark(cells[c]);
            if (!mark) {
                reasons << QStringLiteral("kolumna %1: %2 zamiast %3 lub pustego pola")
                               .arg(quoted(header[c]), quoted(cells[c]), quoted(markText()));
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
            out.skipped.append({row.number, reasons.join(QStringLiteral("; "))});
            continue;
        }
        EntryRecord record;
        formToRecord(form, record, true);
        out.records.push_back(record);
        out.rows.append(row.number);
    }
    reportProblemsBefore(std::numeric_limits<int>::max());
    return out;
}

ImportReport importFile(const Workstation& ws, const QString& csvPath) {
    const Conversion conversion = convertRows(parse(decodeFile(files::readFile(csvPath))));
    ImportReport report;
    report.refusal = conversion.refusal;
    report.skipped = conversion.skipped;
    if (!report.refusal.isEmpty() || conversion.records.empty())
        return report;

    const auto count = static_cast<qint64>(conversion.records.size());
    const QString mainFile = ws.mainFile();
    FileLock mainLock(lockPathFor(mainFile));
    {
        // The counter first: should the main file fail, its IDs are lost but never given twice.
        FileLock idLock(lockPathFor(ws.idFile()));
        report.firstId = editing::readIdCounter(ws);
        const auto next = static_cast<quint32>(report.firstId) + static_cast<quint32>(count);
        files::replaceFile(ws.idFile(), int32Bytes(static_cast<qint32>(next)));
    }
    files::FileWriter out(mainFile, files::FileWriter::Mode::Atomic);
    files::RecordReader existing(mainFile, EntryRecord::Size);
    while (const char* record = existing.next())
        out.write(QByteArrayView(record, EntryRecord::Size));
    report.firstPosition = existing.recordsRead();
    existing.close();
    quint32 id = static_cast<quint32>(report.firstId);
    for (EntryRecord record : conversion.records) {
        record.setText(Field::id, QString::number(static_cast<qint32>(id++)));
        out.write(QByteArrayView(record.data(), EntryRecord::Size));
    }
    out.commit();
    report.added = static_cast<int>(count);
    return report;
}

QString countText(qint64 n, const QString& one, const QString& few, const QString& many) {
    const qint64 tens = n % 100;
    const QString& noun = n == 1                                                     ? one
                          : (n % 10 >= 2 && n % 10 <= 4 && (tens < 12 || tens > 14)) ? few
                                                                                     : many;
    return QString::number(n) + QLatin1Char(' ') + noun;
}

QString importSummary(const ImportReport& report, int maxReasons) {
    if (!report.refusal.isEmpty())
        return report.refusal;
    QString text;
    if (report.added == 0) {
        text = QStringLiteral("Nie dodano żadnego wpisu.");
    } else {
        const qint32 lastId =
            static_cast<qint32>(static_cast<quint32>(report.firstId) + (report.added - 1));
        text =
            QStringLiteral("Dodano %1 (ID %2).")
                .arg(countText(report.added, QStringLiteral("wpis"), QStringLiteral("wpisy"),
                               QStringLiteral("wpisów")),
                     report.added == 1 ? QString::number(report.firstId)
                                       : QStringLiteral("%1–%2").arg(report.firstId).arg(lastId));
    }
    if (report.skipped.isEmpty())
        return text;
    text += QStringLiteral("\nPominięto %1:")
                .arg(countText(report.skipped.size(), QStringLiteral("wiersz"),
                               QStringLiteral("wiersze"), QStringLiteral("wierszy")));
    const qsizetype shown = maxReasons < 0 ? report.skipped.size()
                                           : std::min<qsizetype>(maxReasons, report.skipped.size());
    for (qsizetype i = 0; i < shown; ++i)
        text += QStringLiteral("\nwiersz %1: %2")
                    .arg(report.skipped[i].row)
                    .arg(report.skipped[i].reason);
    if (shown < report.skipped.size())
        text += QStringLiteral("\n… i %1 innych").arg(report.skipped.size() - shown);
    return text;
}

} // namespace kestrana::csv
