#include "exchange/CsvText.h"
#include "platform/CodePage.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

using Rows = QList<QStringList>;

namespace {

Rows fieldsOf(const csv::Parsed& parsed) {
    Rows rows;
    for (const csv::Row& row : parsed.rows)
        rows << row.fields;
    return rows;
}

} // namespace

class CsvTextTest : public QObject {
    Q_OBJECT

private slots:
    void quoting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Zakład Dąb"
                               << "Zakład Dąb";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("separator") << "a;b"
                                   << "\"a;b\"";
        QTest::newRow("quotes doubled") << "Firma \"Dąb\""
                                        << "\"Firma \"\"Dąb\"\"\"";
        QTest::newRow("only a quote") << "\""
                                      << "\"\"\"\"";
        QTest::newRow("CR LF") << "ul. Długa\r\n2 piętro"
                               << "\"ul. Długa\r\n2 piętro\"";
        QTest::newRow("LF") << "a\nb"
                            << "\"a\nb\"";
        QTest::newRow("CR") << "a\rb"
                            << "\"a\rb\"";
        QTest::newRow("leading blank") << " 12"
                                       << "\" 12\"";
        QTest::newRow("trailing blank") << "12 "
                                        << "\"12 \"";
        QTest::newRow("inner blanks") << "+48 12 345"
                                      << "+48 12 345";
        QTest::newRow("comma needs nothing") << "Sp. z o.o., oddział"
                                             << "Sp. z o.o., oddział";
    }
    void quoting() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(csv::quoteField(text), written);
        // Whatever is written reads back as the same single field.
        const csv::Parsed parsed = csv::parse(csv::formatRow({text, QStringLiteral("x")}));
        QCOMPARE(fieldsOf(parsed), Rows({QStringList{text, QStringLiteral("x")}}));
    }

    void parsing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("CR LF lines") << "a;b\r\nc;d\r\n"
                                     << Rows{{"a", "b"}, {"c", "d"}} << QList<int>{1, 2};
        QTest::newRow("LF lines, no final break")
            << "a;b\nc;d" << Rows{{"a", "b"}, {"c", "d"}} << QList<int>{1, 2};
        QTest::newRow("empty fields") << ";;\r\n" << Rows{{"", "", ""}} << QList<int>{1};
        QTest::newRow("separator at the very end") << "a;" << Rows{{"a", ""}} << QList<int>{1};
        QTest::newRow("quoted separator and quotes")
            << "\"a;b\";\"say \"\"hi\"\"\"\r\n"
            << Rows{{"a;b", "say \"hi\""}} << QList<int>{1};
        QTest::newRow("line breaks kept in a quoted field, one row")
            << "\"x\r\ny\";\"p\nq\"\r\nnext\r\n"
            << Rows{{"x\r\ny", "p\nq"}, {"next"}} << QList<int>{1, 2};
        QTest::newRow("empty line is a row") << "a\r\n\r\nb\r\n"
                                             << Rows{{"a"}, {""}, {"b"}} << QList<int>{1, 2, 3};
        QTest::newRow("text after a closing quote kept")
            << "\"ab\"c;d" << Rows{{"abc", "d"}} << QList<int>{1};
        QTest::newRow("quote inside an unquoted field is a character")
            << "5\" dysk;x" << Rows{{"5\" dysk", "x"}} << QList<int>{1};
        QTest::newRow("blanks kept") << " a ; b " << Rows{{" a ", " b "}} << QList<int>{1};
        QTest::newRow("lone CR is a character") << "a\rb;c" << Rows{{"a\rb", "c"}} << QList<int>{1};
        QTest::newRow("nothing") << "" << Rows{} << QList<int>{};
    }
    void parsing() {
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, numbers);
        const csv::Parsed parsed = csv::parse(text);
        QCOMPARE(fieldsOf(parsed), rows);
        QList<int> got;
        for (const csv::Row& row : parsed.rows)
            got << row.number;
        QCOMPARE(got, numbers);
        QVERIFY(parsed.problems.isEmpty());
    }

    void unterminatedQuoteSkipsOnlyItsRow_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("badRow");
        QTest::newRow("in the middle")
            << "a;b\r\n\"x\r\ny\";z\r\nc;\"d\r\ne;f\r\n"
            << Rows{{"a", "b"}, {"x\r\ny", "z"}, {"e", "f"}} << QList<int>{1, 2, 4} << 3;
        QTest::newRow("last row") << "a\r\nb;\"c" << Rows{{"a"}} << QList<int>{1} << 2;
        QTest::newRow("first row") << "\"a;b\r\nc;d\r\n" << Rows{{"c", "d"}} << QList<int>{2} << 1;
    }
    void unterminatedQuoteSkipsOnlyItsRow() {
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, numbers);
        QFETCH(int, badRow);
        const csv::Parsed parsed = csv::parse(text);
        QCOMPARE(fieldsOf(parsed), rows);
        QList<int> got;
        for (const csv::Row& row : parsed.rows)
            got << row.number;
        QCOMPARE(got, numbers);
        QCOMPARE(parsed.problems.size(), 1);
        QCOMPARE(parsed.problems[0].number, badRow);
        QVERIFY(parsed.problems[0].reason.contains(QStringLiteral("cudzysłów")));
    }

    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString polish = QStringLiteral("Łódź;Żółć\r\n");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + polish.toUtf8() << polish;
        QTest::newRow("UTF-8 without BOM") << polish.toUtf8() << polish;
        QTest::newRow("Windows-1250") << cp1250::encode(polish) << polish;
        QTest::newRow("ASCII") << QByteArray("a;b\r\n") << QStringLiteral("a;b\r\n");
        QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << QString();
        QTest::newRow("UTF-16 LE with BOM")
            << QByteArray("\xFF\xFE") +
                   QByteArray(reinterpret_cast<const char*>(polish.utf16()), polish.size() * 2)
            << polish;
        QTest::newRow("UTF-16 BE with BOM")
            << QByteArray("\xFE\xFF\x01\x41\x00;\x00\xF3", 8) << QStringLiteral("Ł;ó");
    }
    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(csv::decodeFile(bytes), text);
    }

    void otherSeparators_data() {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("comma, quoted comma") << QChar(',') << "a,\"b,c;d\"\n"
                                             << Rows{{"a", "b,c;d"}};
        QTest::newRow("tab, blanks kept") << QChar('\t') << " a \t\"b\tc\"\r\n"
                                          << Rows{{" a ", "b\tc"}};
    }
    void otherSeparators() {
        QFETCH(QChar, separator);
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        QCOMPARE(fieldsOf(csv::parse(text, separator)), rows);
        // Written with that separator, the fields read back the same.
        QCOMPARE(fieldsOf(csv::parse(csv::formatRow(rows[0], separator), separator)), rows);
    }

    void firstRowsOnly() {
        const csv::Parsed parsed = csv::parse(u"a;b\r\n\"c\r\nd\";e\r\nf\r\n", csv::kSeparator, 2);
        QCOMPARE(fieldsOf(parsed), Rows({{"a", "b"}, {"c\r\nd", "e"}}));
    }

    void formulaGuard_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cell");
        QTest::newRow("equals") << "=1+1"
                                << "'=1+1";
        QTest::newRow("plus, a phone number") << "+48 12 345"
                                              << "'+48 12 345";
        QTest::newRow("minus") << "-5"
                               << "'-5";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("tab") << "\tx"
                             << "'\tx";
        QTest::newRow("carriage return") << "\rx"
                                         << "'\rx";
        QTest::newRow("already guarded text gets one more") << "'=x"
                                                            << "''=x";
        QTest::newRow("two apostrophes") << "''-x"
                                         << "'''-x";
        QTest::newRow("plain apostrophe stays") << "'x"
                                                << "'x";
        QTest::newRow("lone apostrophe stays") << "'"
                                               << "'";
        QTest::newRow("inside the text") << "a=b"
                                         << "a=b";
        QTest::newRow("leading blank") << " =x"
                                       << " =x";
        QTest::newRow("empty") << ""
                               << "";
    }
    void formulaGuard() {
        QFETCH(QString, text);
        QFETCH(QString, cell);
        QCOMPARE(csv::guardFormula(text), cell);
        QCOMPARE(csv::unguardFormula(cell), text);
    }

    void writtenFileIsUtf8WithBomAndCrLf() {
        const QByteArray file = csv::fileHeader() + csv::encodeRow({"Łódź", "a;b"});
        QCOMPARE(file, QByteArray("\xEF\xBB\xBF") + QStringLiteral("Łódź;\"a;b\"\r\n").toUtf8());
        QCOMPARE(fieldsOf(csv::parse(csv::decodeFile(file))), Rows({{"Łódź", "a;b"}}));
    }
};

KESTRANA_TEST(CsvTextTest)
#include "CsvTextTest.moc"
