#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// CSV as Excel and LibreOffice Calc read and write it for Polish text: fields separated by ';'
// (Excel on a Polish system), ',' (Calc) or a tab, a field in double quotes when it holds a
// separator, a quote, a line break or blanks at either end, a quote inside doubled. The files
// this program writes are UTF-8 with a byte-order mark, ';' and CR LF line ends.
namespace kestrana::csv {

inline constexpr QChar kSeparator = QLatin1Char(';');

// The field as it goes into a line: quoted only when it has to be.
QString quoteField(const QString& text, QChar separator = kSeparator);
// One line of fields, without the line end.
QString formatRow(const QStringList& fields, QChar separator = kSeparator);

// What a whole file becomes: the UTF-8 byte-order mark, then each row followed by CR LF.
QByteArray fileHeader();
QByteArray encodeRow(const QStringList& fields);

// A spreadsheet takes a cell that begins with '=', '+', '-' or '@' (and, in some programs, a
// tab or a carriage return) for a formula, which can start programs on the reader's machine.
// Such a text is written with one leading apostrophe, which spreadsheets show as text and keep
// when they save. A text that already begins with apostrophes before such a character gets one
// more, so that removing exactly one apostrophe on import gives every text back.
QString guardFormula(const QString& text);
QStringList guardFormulas(QStringList fields);
QString unguardFormula(const QString& cell);

struct Decoded {
    QString text;
    QString encoding; // as the user knows it: "UTF-8", "Windows-1250", "UTF-16"
};

// The text of a file: UTF-16 when it begins with a UTF-16 byte-order mark (Excel's "Unicode
// text"), UTF-8 (a leading byte-order mark dropped), or Windows-1250 when the bytes are not
// valid UTF-8, which is how Excel on a Polish Windows saves "CSV".
Decoded decodeText(const QByteArray& bytes);
inline QString decodeFile(const QByteArray& bytes) {
    return decodeText(bytes).text;
}

// "średnik", "przecinek", "tabulator".
QString separatorName(QChar separator);

struct Row {
    int number = 0; // 1-based, as a spreadsheet numbers its rows (a multi-line field is one row)
    QStringList fields;
};

struct RowProblem {
    int number = 0;
    QString reason;       // Polish, for the user
    bool tooLong = false; // the row is longer than kMaxRowChars: reading stopped there
};

// The longest row read, in characters (64 KB); a longer one stops the reading.
inline constexpr qsizetype kMaxRowChars = 64 * 1024;
// The largest CSV file an import reads (64 MB).
inline constexpr qint64 kMaxFileBytes = qint64(64) << 20;

struct Parsed {
    QList<Row> rows; // in file order; an empty line is a row of one empty field
    QList<RowProblem> problems;
};

// Splits the text into rows. A quoted field may hold separators, doubled quotes and line breaks
// (kept as they are); text after a closing quote is kept as it stands, as spreadsheets do. Lines
// end with CR LF or LF. A quote that never closes would swallow the rest of the file, so that
// row is reported and reading goes on with the next line after the row's beginning. With
// `maxRows` >= 0 reading stops after that many rows.
Parsed parse(QStringView text, QChar separator = kSeparator, int maxRows = -1);
// The same, handing each row and each broken row on as it is found, in file order.
void parse(QStringView text, QChar separator, const std::function<void(Row&&)>& onRow,
           const std::function<void(RowProblem&&)>& onProblem);

} // namespace kestrana::csv
