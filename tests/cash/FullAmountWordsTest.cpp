#include "cash/FullAmountWords.h"
#include "support/TestRegistry.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace kestrana;

// The full Polish wording, against amounts written out by hand from the grammar: after 1 the
// singular, after numbers ending in 2 to 4 (but not 12 to 14) the plural, after the rest the
// genitive plural, for złote, grosze and each order (tysiące, miliony, miliardy).
class FullAmountWordsTest : public QObject {
    Q_OBJECT

private slots:
    void line_data() {
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("words");
        const auto row = [](const char* name, double total, const char* words) {
            QTest::newRow(name) << total << QString::fromUtf8(words);
        };
        // The pinned examples.
        row("1.00", 1.00, "jeden złoty");
        row("2.50", 2.50, "dwa złote pięćdziesiąt groszy");
        row("12.12", 12.12, "dwanaście złotych dwanaście groszy");
        row("22.22", 22.22, "dwadzieścia dwa złote dwadzieścia dwa grosze");
        row("0.01", 0.01, "zero złotych jeden grosz");
        row("1001.00", 1001.00, "jeden tysiąc jeden złotych");
        row("2000.00", 2000.00, "dwa tysiące złotych");
        row("2147483647.00", 2147483647.00,
            "dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysiące "
            "sześćset czterdzieści siedem złotych");

        // Grosze alone, and no grosze text for none.
        row("0.00", 0.00, "zero złotych");
        row("0.02", 0.02, "zero złotych dwa grosze");
        row("0.04", 0.04, "zero złotych cztery grosze");
        row("0.05", 0.05, "zero złotych pięć groszy");
        row("0.10", 0.10, "zero złotych dziesięć groszy");
        row("0.11", 0.11, "zero złotych jedenaście groszy");
        row("0.12", 0.12, "zero złotych dwanaście groszy");
        row("0.14", 0.14, "zero złotych czternaście groszy");
        row("0.15", 0.15, "zero złotych piętnaście groszy");
        row("0.21", 0.21, "zero złotych dwadzieścia jeden groszy");
        row("0.24", 0.24, "zero złotych dwadzieścia cztery grosze");
        row("0.25", 0.25, "zero złotych dwadzieścia pięć groszy");
        row("0.29", 0.29, "zero złotych dwadzieścia dziewięć groszy");
        row("0.99", 0.99, "zero złotych dziewięćdziesiąt dziewięć groszy");

        // Złote: units, teens, tens.
        row("2.00", 2.00, "dwa złote");
        row("3.00", 3.00, "trzy złote");
        row("4.00", 4.00, "cztery złote");
        row("5.00", 5.00, "pięć złotych");
        row("1.02", 1.02, "jeden złoty dwa grosze");
        row("1.12", 1.12, "jeden złoty dwanaście groszy");
        row("5.22", 5.22, "pięć złotych dwadzieścia dwa grosze");
        row("10.00", 10.00, "dziesięć złotych");
        row("11.00", 11.00, "jedenaście złotych");
        row("13.00", 13.00, "trzynaście złotych");
        row("14.00", 14.00, "czternaście złotych");
        row("16.00", 16.00, "szesnaście złotych");
        row("17.00", 17.00, "siedemnaście złotych");
        row("18.00", 18.00, "osiemnaście złotych");
        row("19.00", 19.00, "dziewiętnaście złotych");
        row("20.00", 20.00, "dwadzieścia złotych");
        row("21.00", 21.00, "dwadzieścia jeden złotych");
        row("23.03", 23.03, "dwadzieścia trzy złote trzy grosze");
        row("34.04", 34.04, "trzydzieści cztery złote cztery grosze");
        row("45.00", 45.00, "czterdzieści pięć złotych");
        row("60.06", 60.06, "sześćdziesiąt złotych sześć groszy");
        row("67.00", 67.00, "sześćdziesiąt siedem złotych");
        row("70.70", 70.70, "siedemdziesiąt złotych siedemdziesiąt groszy");
        row("88.00", 88.00, "osiemdziesiąt osiem złotych");
        row("90.90", 90.90, "dziewięćdziesiąt złotych dziewięćdziesiąt groszy");

        // Hundreds.
        row("100.00", 100.00, "sto złotych");
        row("101.01", 101.01, "sto jeden złotych jeden grosz");
        row("102.00", 102.00, "sto dwa złote");
        row("104.00", 104.00, "sto cztery złote");
        row("112.00", 112.00, "sto dwanaście złotych");
        row("122.00", 122.00, "sto dwadzieścia dwa złote");
        row("123.45", 123.45, "sto dwadzieścia trzy złote czterdzieści pięć groszy");
        row("200.00", 200.00, "dwieście złotych");
        row("300.00", 300.00, "trzysta złotych");
        row("400.00", 400.00, "czterysta złotych");
        row("555.00", 555.00, "pięćset pięćdziesiąt pięć złotych");
        row("666.00", 666.00, "sześćset sześćdziesiąt sześć złotych");
        row("777.00", 777.00, "siedemset siedemdziesiąt siedem złotych");
        row("912.00", 912.00, "dziewięćset dwanaście złotych");
        row("999.99", 999.99,
            "dziewięćset dziewięćdziesiąt dziewięć złotych dziewięćdziesiąt dziewięć groszy");

        // Thousands.
        row("1000.00", 1000.00, "jeden tysiąc złotych");
        row("1002.00", 1002.00, "jeden tysiąc dwa złote");
        row("1014.00", 1014.00, "jeden tysiąc czternaście złotych");
        row("1513.00", 1513.00, "jeden tysiąc pięćset trzynaście złotych");
        row("3000.00", 3000.00, "trzy tysiące złotych");
        row("4000.00", 4000.00, "cztery tysiące złotych");
        row("5000.00", 5000.00, "pięć tysięcy złotych");
        row("10000.00", 10000.00, "dziesięć tysięcy złotych");
        row("11000.00", 11000.00, "jedenaście tysięcy złotych");
        row("12000.00", 12000.00, "dwanaście tysięcy złotych");
        row("12345.00", 12345.00, "dwanaście tysięcy trzysta czterdzieści pięć złotych");
        row("14000.00", 14000.00, "czternaście tysięcy złotych");
        row("21000.00", 21000.00, "dwadzieścia jeden tysięcy złotych");
        row("22000.00", 22000.00, "dwadzieścia dwa tysiące złotych");
        row("25000.00", 25000.00, "dwadzieścia pięć tysięcy złotych");
        row("100000.00", 100000.00, "sto tysięcy złotych");
        row("101000.00", 101000.00, "sto jeden tysięcy złotych");
        row("102000.00", 102000.00, "sto dwa tysiące złotych");
        row("112000.00", 112000.00, "sto dwanaście tysięcy złotych");
        row("999999.00", 999999.00,
            "dziewięćset dziewięćdziesiąt dziewięć tysięcy dziewięćset dziewięćdziesiąt "
            "dziewięć złotych");

        // Millions and milliards.
        row("1000000.00", 1000000.00, "jeden milion złotych");
        row("1000001.00", 1000001.00, "jeden milion jeden złotych");
        row("1001000.00", 1001000.00, "jeden milion jeden tysiąc złotych");
        row("1234567.89", 1234567.89,
            "jeden milion dwieście trzydzieści cztery tysiące pięćset sześćdziesiąt siedem "
            "złotych osiemdziesiąt dziewięć groszy");
        row("2000000.00", 2000000.00, "dwa miliony złotych");
        row("2500000.00", 2500000.00, "dwa miliony pięćset tysięcy złotych");
        row("3000000.03", 3000000.03, "trzy miliony złotych trzy grosze");
        row("4000000.00", 4000000.00, "cztery miliony złotych");
        row("5000000.00", 5000000.00, "pięć milionów złotych");
        row("12000000.00", 12000000.00, "dwanaście milionów złotych");
        row("13000000.00", 13000000.00, "trzynaście milionów złotych");
        row("21000000.00", 21000000.00, "dwadzieścia jeden milionów złotych");
        row("22000000.00", 22000000.00, "dwadzieścia dwa miliony złotych");
        row("1000000000.00", 1000000000.00, "jeden miliard złotych");
        row("1000000001.00", 1000000001.00, "jeden miliard jeden złotych");
        row("2000000000.00", 2000000000.00, "dwa miliardy złotych");
        row("2000000002.02", 2000000002.02, "dwa miliardy dwa złote dwa grosze");
        row("2147483647.99", 2147483647.99,
            "dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysiące "
            "sześćset czterdzieści siedem złotych dziewięćdziesiąt dziewięć groszy");

        // A negative total, as a document read from a file can give.
        row("-5.50", -5.50, "minus pięć złotych pięćdziesiąt groszy");
        row("-0.001 is none", -0.001, "zero złotych");
    }

    void line() {
        QFETCH(double, total);
        QFETCH(QString, words);
        QCOMPARE(fullWordsLine(total), std::optional<QString>(QStringLiteral("Słownie: ") + words));
    }

    // Beyond the largest amount a voucher states, as the office's wording refuses it.
    void beyondTheLargest() {
        for (const double total :
             {2147483648.0, -2147483648.0, 1e15, std::numeric_limits<double>::infinity(),
              std::numeric_limits<double>::quiet_NaN()}) {
            QVERIFY2(!fullWordsLine(total).has_value(), qPrintable(QString::number(total)));
            QVERIFY(!fullWordsFit(total));
        }
        QVERIFY(fullWordsFit(-2147483647.99));
    }

    // The whole range of the words, beyond what a voucher needs.
    void largestWords() {
        QCOMPARE(fullAmountWords(kLargestFullWords),
                 QStringLiteral("dziewięćset dziewięćdziesiąt dziewięć miliardów dziewięćset "
                                "dziewięćdziesiąt dziewięć milionów dziewięćset dziewięćdziesiąt "
                                "dziewięć tysięcy dziewięćset dziewięćdziesiąt dziewięć"));
        QCOMPARE(fullAmountWords(0), QStringLiteral("zero"));
        QCOMPARE(fullAmountWords(1'000'000'000), QStringLiteral("jeden miliard"));
    }

    // One blank between words, none at either end, whatever the amount.
    void blanks() {
        QRandomGenerator random(20);
        for (int i = 0; i < 20000; ++i) {
            const qint64 cents = random.bounded(Q_INT64_C(214748364800));
            const QString line = *fullWordsLine(double(cents) / 100.0);
            QVERIFY2(!line.contains(QStringLiteral("  ")) && !line.endsWith(u' '),
                     qPrintable(line));
        }
    }
};

KESTRANA_TEST(FullAmountWordsTest)
#include "FullAmountWordsTest.moc"
