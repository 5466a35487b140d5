#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// CSV as Excel and LibreOffice Calc read and write it for Polish text: fields separated by ';',
// a field in double quotes when it holds a separator, a quote, a line break or blanks at either
// end, a quote inside doubled. Files are UTF-8 with a byte-order mark and CR LF line ends.
namespace kestrana::csv {

inline constexpr QChar kSeparator = QLatin1Char(';');

// The field as it goes into a line: quoted only when it has to be.
QString quoteField(const QString& text);
// One line of fields, without the line end.
QString formatRow(const QStringList& fields);

// What a whole file becomes: the UTF-8 byte-order mark, then each row followed by CR LF.
QByteArray fileHeader();
QByteArray encodeRow(const QStringList& fields);

// The text of a file: UTF-8 (a leading byte-order mark dropped), or Windows-1250 when the bytes
// are not valid UTF-8, which is how Excel on a Polish Windows saves "CSV".
QString decodeFile(const QByteArray& bytes);

struct Row {
    int number = 0; // 1-based, as a spreadsheet numbers its rows (a multi-line field is one row)
    QStringList fields;
};

struct RowProblem {
    int number = 0;
    QString reason; // Polish, for the user
};

struct Parsed {
    QList<Row> rows; // in file order; an empty line is a row of one empty field
    QList<RowProblem> problems;
};

// Splits the text into rows. A quoted field may hold separators, doubled quotes and line breaks
// (kept as they are); text after a closing quote is kept as it stands, as spreadsheets do. Lines
// end with CR LF or LF. A quote that never closes would swallow the rest of the file, so that
// row is reported and reading goes on with the next line after the row's beginning.
Parsed parse(QStringView text);

} // namespace kestrana::csv
