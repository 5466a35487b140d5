#include "exchange/CsvText.h"

#include "platform/CodePage.h"

#include <QStringDecoder>

#include <algorithm>

namespace kestrana::csv {

namespace {

bool needsQuotes(const QString& text, QChar separator) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return true;
    }
    // Spreadsheets trim unquoted blanks at either end.
    return text.front().isSpace() || text.back().isSpace();
}

bool startsFormula(QChar c) {
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           c == QLatin1Char('@') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// Whether the text is apostrophes (at least `minApostrophes`) followed by a formula character.
bool apostrophesBeforeFormula(const QString& text, qsizetype minApostrophes) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\''))
        ++i;
    return i >= minApostrophes && i < text.size() && startsFormula(text[i]);
}

// Hands on each row and each broken row in file order; `enough` is asked after each of them.
void parseRows(QStringView text, QChar separator, const std::function<void(Row&&)>& onRow,
               const std::function<void(RowProblem&&)>& onProblem,
               const std::function<bool()>& enough) {
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int number = 0;
    const auto atLineEnd = [&](qsizetype at) {
        return text[at] == QLatin1Char('\n') ||
               (text[at] == QLatin1Char('\r') && at + 1 < n && text[at + 1] == QLatin1Char('\n'));
    };
    const auto skipLineEnd = [&](qsizetype at) {
        return at + (text[at] == QLatin1Char('\r') ? 2 : 1);
    };
    while (pos < n) {
        ++number;
        const qsizetype rowStart = pos;
        // A row longer than any export's is not split into fields: a hostile file of one huge
        // row would take memory many times its size.
        const auto tooLong = [&] { return pos - rowStart > kMaxRowChars; };
        Row row;
        row.number = number;
        bool broken = false;
        bool overflow = false;
        for (;;) {
            QString field;
            if (text[pos] == QLatin1Char('"')) {
                ++pos;
                bool closed = false;
                while (pos < n && !tooLong()) {
                    if (text[pos] == QLatin1Char('"')) {
                        if (pos + 1 < n && text[pos + 1] == QLatin1Char('"')) {
                            field += QLatin1Char('"');
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    field += text[pos++];
                }
                if (!closed) {
                    overflow = tooLong();
                    broken = true;
                    break;
                }
            }
            while (pos < n && text[pos] != separator && !atLineEnd(pos) && !tooLong())
                field += text[pos++];
            if (tooLong()) {
                overflow = true;
                break;
            }
            row.fields.append(field);
            if (pos < n && text[pos] == separator) {
                ++pos;
                if (pos < n)
                    continue;
                row.fields.append(QString()); // a separator at the very end
            }
            if (pos < n)
                pos = skipLineEnd(pos);
            break;
        }
        if (overflow) {
            const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), pos);
            const qsizetype chars = (lineEnd < 0 ? n : lineEnd) - rowStart;
            onProblem({number,
                       QStringLiteral("wiersz ma %1 KB, a wiersz może mieć najwyżej %2 KB")
                           .arg((chars + 1023) / 1024)
                           .arg(kMaxRowChars / 1024),
                       true});
            return;
        }
        if (broken) {
            onProblem(
                {number, QStringLiteral("cudzysłów otwarty w tym wierszu nie został zamknięty")});
            const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), rowStart);
            pos = lineEnd < 0 ? n : lineEnd + 1;
        } else {
            onRow(std::move(row));
        }
        if (enough())
            return;
    }
}

} // namespace

QString quoteField(const QString& text, QChar separator) {
    if (!needsQuotes(text, separator))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString formatRow(const QStringList& fields, QChar separator) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += separator;
        line += quoteField(fields[i], separator);
    }
    return line;
}

QString guardFormula(const QString& text) {
    return apostrophesBeforeFormula(text, 0) ? QLatin1Char('\'') + text : text;
}

QStringList guardFormulas(QStringList fields) {
    for (QString& field : fields)
        field = guardFormula(field);
    return fields;
}

QString unguardFormula(const QString& cell) {
    return apostrophesBeforeFormula(cell, 1) ? cell.mid(1) : cell;
}

QByteArray fileHeader() {
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QByteArray encodeRow(const QStringList& fields) {
    return formatRow(fields).toUtf8() + QByteArrayLiteral("\r\n");
}

Decoded decodeText(const QByteArray& bytes) {
    QByteArrayView data(bytes);
    const auto utf16 = [&](QStringConverter::Encoding encoding) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        return Decoded{decoder(data.sliced(2)), QStringLiteral("UTF-16")};
    };
    if (data.startsWith("\xFF\xFE"))
        return utf16(QStringConverter::Utf16LE);
    if (data.startsWith("\xFE\xFF"))
        return utf16(QStringConverter::Utf16BE);
    const bool marked = data.startsWith(fileHeader());
    if (marked)
        data = data.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(data);
    if (!utf8.hasError())
        return {text, QStringLiteral("UTF-8")};
    // A file marked as UTF-8, or whose first line is UTF-8 with Polish letters, is UTF-8 with a
    // few bad bytes (each read as U+FFFD, which the row that holds it is refused for), not a
    // Windows-1250 file whose header would then look wrong.
    const qsizetype lineEnd = data.indexOf('\n');
    const QByteArrayView firstLine = lineEnd < 0 ? data : data.first(lineEnd);
    // A bad byte decodes as U+FFFD; a line that holds U+FFFD itself says so in its bytes.
    const bool headerIsUtf8 = !QString::fromUtf8(firstLine).contains(QChar::ReplacementCharacter) ||
                              firstLine.contains(QByteArrayView("\xEF\xBF\xBD"));
    const bool polishHeader =
        headerIsUtf8 && std::any_of(firstLine.begin(), firstLine.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (marked || polishHeader)
        return {text, QStringLiteral("UTF-8")};
    return {cp1250::decode(data.constData(), data.size()), QStringLiteral("Windows-1250")};
}

QString separatorName(QChar separator) {
    if (separator == QLatin1Char(','))
        return QStringLiteral("przecinek");
    if (separator == QLatin1Char('\t'))
        return QStringLiteral("tabulator");
    return QStringLiteral("średnik");
}

Parsed parse(QStringView text, QChar separator, int maxRows) {
    Parsed out;
    if (maxRows == 0)
        return out;
    int found = 0;
    parseRows(
        text, separator, [&](Row&& row) { out.rows.append(std::move(row)); },
        [&](RowProblem&& problem) { out.problems.append(std::move(problem)); },
        [&] { return maxRows >= 0 && ++found >= maxRows; });
    return out;
}

void parse(QStringView text, QChar separator, const std::function<void(Row&&)>& onRow,
           const std::function<void(RowProblem&&)>& onProblem) {
    parseRows(text, separator, onRow, onProblem, [] { return false; });
}

} // namespace kestrana::csv
