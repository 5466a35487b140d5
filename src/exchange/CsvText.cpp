#include "exchange/CsvText.h"

#include "platform/CodePage.h"

#include <QStringDecoder>

namespace kestrana::csv {

namespace {

bool needsQuotes(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c == kSeparator || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return true;
    }
    // Spreadsheets trim unquoted blanks at either end.
    return text.front().isSpace() || text.back().isSpace();
}

} // namespace

QString quoteField(const QString& text) {
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString formatRow(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += kSeparator;
        line += quoteField(fields[i]);
    }
    return line;
}

QByteArray fileHeader() {
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QByteArray encodeRow(const QStringList& fields) {
    return formatRow(fields).toUtf8() + QByteArrayLiteral("\r\n");
}

QString decodeFile(const QByteArray& bytes) {
    QByteArrayView data(bytes);
    if (data.startsWith(fileHeader()))
        data = data.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return cp1250::decode(data.constData(), data.size());
}

Parsed parse(QStringView text) {
    Parsed out;
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
            while (pos < n && text[pos] != kSeparator && !atLineEnd(pos))
                field += text[pos++];
            row.fields.append(field);
            if (pos < n && text[pos] == kSeparator) {
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
            out.problems.append(
                {number, QStringLiteral("cudzysłów otwarty w tym wierszu nie został zamknięty")});
            const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), rowStart);
            pos = lineEnd < 0 ? n : lineEnd + 1;
            continue;
        }
        out.rows.append(std::move(row));
    }
    return out;
}

} // namespace kestrana::csv
