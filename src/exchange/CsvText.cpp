#include "exchange/CsvText.h"

#include "platform/CodePage.h"

#include <QStringDecoder>

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
        Row row;
        row.number = number;
        bool broken = false;
        for (;;) {
            QString field;
            if (text[pos] == QLatin1Char('"')) {
                ++pos;
                bool closed = false;
                while (pos < n) {
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
                    broken = true;
                    break;
                }
            }
            while (pos < n && text[pos] != separator && !atLineEnd(pos))
                field += text[pos++];
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
    if (data.startsWith(fileHeader()))
        data = data.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(data);
    if (!utf8.hasError())
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
