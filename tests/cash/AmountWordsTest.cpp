#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

using namespace kestrana;

namespace {

// Expected texts show every blank as ␣ so that double blanks stay visible.
QString blanks(const QString& text) {
    return QString(text).replace(u'␣', u' ');
}

} // namespace

class AmountWordsTest : public QObject {
    Q_OBJECT

private slots:
    void kwotaSlownie_data() {
        QTest::addColumn<qint32>("amount");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("words");
        auto row = [](qint32 amount, const char* unit, const char* words) {
            QTest::addRow("%d %s", amount, unit)
                << amount << QString::fromUtf8(unit) << blanks(QString::fromUtf8(words));
        };
        // The worked examples.
        row(1, "złoty", "jeden␣złoty");
        row(4, "złote", "cztery␣złote");
        row(10, "złotych", "dziesięć␣złotych");
        row(11, "złotych", "jedenaście␣złotych");
        row(14, "złotych", "czternaście␣złotych");
        row(20, "złotych", "dwadzieścia␣␣złotych");
        row(22, "złotych", "dwadzieścia␣dwa␣złotych");
        row(100, "złotych", "sto␣złotych");
        row(115, "złotych", "sto␣piętnaście␣złotych");
        row(200, "złotych", "dwieście␣␣złotych");
        row(999, "złotych", "dziewięćset␣dziewięćdziesiąt␣dziewięć␣złotych");
        row(1000, "złotych", "tysiąc␣złotych");
        row(1001, "złotych", "jeden␣tysiąc␣jeden␣złotych");
        row(1500, "złotych", "jeden␣tysiąc␣pięćset␣␣złotych");
        row(2000, "złotych", "dwa␣tysięcy␣␣złotych");
        row(10000, "złotych", "dziesięćtysiecy␣złotych");
        row(12345, "złotych", "dwanaście␣tysięcy␣trzysta␣czterdzieści␣pięć␣złotych");
        row(100000, "złotych", "stotysiecy␣złotych");
        row(100001, "złotych", "sto␣␣tysięcy␣jeden␣złotych");
        row(1000000, "złotych", "jeden␣milion␣␣złotych");
        row(2500000, "złotych", "dwa␣milionów␣pięćset␣␣tysięcy␣␣złotych");
        row(1000000000, "złotych", "jeden␣miliard␣␣złotych");
        row(2147483647, "złotych",
            "dwa␣miliardów␣sto␣czterdzieści␣siedem␣milionów␣czterysta␣osiemdziesiąt␣trzy␣"
            "tysięcy␣sześćset␣czterdzieści␣siedem␣złotych");
        // Every units piece, teen stem and tens piece.
        row(0, "złotych", "␣złotych");
        row(2, "złote", "dwa␣złote");
        row(3, "złote", "trzy␣złote");
        row(5, "złotych", "pięć␣złotych");
        row(6, "złotych", "sześć␣złotych");
        row(7, "złotych", "siedem␣złotych");
        row(8, "złotych", "osiem␣złotych");
        row(9, "złotych", "dziewięć␣złotych");
        row(12, "złotych", "dwanaście␣złotych");
        row(13, "złotych", "trzynaście␣złotych");
        row(15, "złotych", "piętnaście␣złotych");
        row(16, "złotych", "szesnaście␣złotych");
        row(17, "złotych", "siedemnaście␣złotych");
        row(18, "złotych", "osiemnaście␣złotych");
        row(19, "złotych", "dziewiętnaście␣złotych");
        row(21, "złotych", "dwadzieścia␣jeden␣złotych");
        row(30, "złotych", "trzydzieści␣␣złotych");
        row(45, "złotych", "czterdzieści␣pięć␣złotych");
        row(56, "złotych", "pięćdziesiąt␣sześć␣złotych");
        row(67, "złotych", "sześćdziesiąt␣siedem␣złotych");
        row(78, "złotych", "siedemdziesiąt␣osiem␣złotych");
        row(89, "złotych", "osiemdziesiąt␣dziewięć␣złotych");
        row(90, "złotych", "dziewięćdziesiąt␣␣złotych");
        row(101, "złotych", "sto␣jeden␣złotych");
        row(110, "złotych", "sto␣dziesięć␣złotych");
        row(111, "złotych", "sto␣jedenaście␣złotych");
        row(300, "złotych", "trzysta␣␣złotych");
        row(414, "złotych", "czterysta␣czternaście␣złotych");
        row(600, "złotych", "sześćset␣␣złotych");
        row(716, "złotych", "siedemset␣szesnaście␣złotych");
        row(819, "złotych", "osiemset␣dziewiętnaście␣złotych");
        // Orders: one plural each, "jeden" only when a group is exactly one.
        row(1010, "złotych", "jeden␣tysiąc␣dziesięć␣złotych");
        row(5000, "złotych", "pięć␣tysięcy␣␣złotych");
        row(11000, "złotych", "jedenaście␣tysięcy␣␣złotych");
        row(20000, "złotych", "dwadzieścia␣␣tysięcy␣␣złotych");
        row(21000, "złotych", "dwadzieścia␣jeden␣tysięcy␣␣złotych");
        row(101000, "złotych", "sto␣jeden␣tysięcy␣␣złotych");
        row(999999, "złotych",
            "dziewięćset␣dziewięćdziesiąt␣dziewięć␣tysięcy␣dziewięćset␣dziewięćdziesiąt␣"
            "dziewięć␣złotych");
        row(1001000, "złotych", "jeden␣milion␣jeden␣tysiąc␣␣złotych");
        row(2000000, "złotych", "dwa␣milionów␣␣złotych");
        row(1000001, "złotych", "jeden␣milion␣jeden␣złotych");
        row(2000000000, "złotych", "dwa␣miliardów␣␣złotych");
        // The fixed results also serve grosze.
        row(10, "groszy", "dziesięć␣groszy");
        row(100, "groszy", "sto␣groszy");
        // A negative amount is worded without its sign; the fixed results need the exact value.
        row(-5, "złotych", "pięć␣złotych");
        row(-10, "złotych", "dziesięć␣złotych");
        row(-100, "złotych", "sto␣␣złotych");
        row(-1000, "złotych", "jeden␣tysiąc␣␣złotych");
        row(std::numeric_limits<qint32>::min(), "złotych",
            "dwa␣miliardów␣sto␣czterdzieści␣siedem␣milionów␣czterysta␣osiemdziesiąt␣trzy␣"
            "tysięcy␣sześćset␣czterdzieści␣osiem␣złotych");
    }
    void kwotaSlownie() {
        QFETCH(qint32, amount);
        QFETCH(QString, unit);
        QFETCH(QString, words);
        QCOMPARE(KwotaSlownie(amount, unit), words);
    }

    void wordsLine_data() {
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("line");
        auto row = [](const char* name, double total, const char* line) {
            QTest::newRow(name) << total << blanks(QString::fromUtf8(line));
        };
        // The worked examples.
        row("0.00", 0.0, "Słownie␣:␣");
        row("0.01", 0.01, "Słownie␣:␣jeden␣grosz");
        row("1.00", 1.0, "Słownie␣:jeden␣złoty␣");
        row("2.50", 2.5, "Słownie␣:dwa␣złote␣pięćdziesiąt␣␣groszy");
        row("5.22", 5.22, "Słownie␣:pięć␣złotych␣dwadzieścia␣dwa␣groszy");
        row("123.45", 123.45, "Słownie␣:sto␣dwadzieścia␣trzy␣złotych␣czterdzieści␣pięć␣groszy");
        row("1000.00", 1000.0, "Słownie␣:tysiąc␣złotych␣");
        // Unit words follow the whole amount, not its last digits.
        row("4.04", 4.04, "Słownie␣:cztery␣złote␣cztery␣grosze");
        row("5.05", 5.05, "Słownie␣:pięć␣złotych␣pięć␣groszy");
        row("12.12", 12.12, "Słownie␣:dwanaście␣złotych␣dwanaście␣groszy");
        row("22.22", 22.22, "Słownie␣:dwadzieścia␣dwa␣złotych␣dwadzieścia␣dwa␣groszy");
        row("101.01", 101.01, "Słownie␣:sto␣jeden␣złotych␣jeden␣grosz");
        row("0.10", 0.10, "Słownie␣:␣dziesięć␣groszy");
        row("0.29", 0.29, "Słownie␣:␣dwadzieścia␣dziewięć␣groszy");
        row("0.99", 0.99, "Słownie␣:␣dziewięćdziesiąt␣dziewięć␣groszy");
        row("10000.00", 10000.0, "Słownie␣:dziesięćtysiecy␣złotych␣");
        row("100000.00", 100000.0, "Słownie␣:stotysiecy␣złotych␣");
        row("999999.99", 999999.99,
            "Słownie␣:dziewięćset␣dziewięćdziesiąt␣dziewięć␣tysięcy␣dziewięćset␣dziewięćdziesiąt␣"
            "dziewięć␣złotych␣dziewięćdziesiąt␣dziewięć␣groszy");
        row("largest", 2147483647.99,
            "Słownie␣:dwa␣miliardów␣sto␣czterdzieści␣siedem␣milionów␣czterysta␣osiemdziesiąt␣"
            "trzy␣tysięcy␣sześćset␣czterdzieści␣siedem␣złotych␣dziewięćdziesiąt␣dziewięć␣groszy");
        // A half grosz goes to the even neighbour.
        row("1.125", 1.125, "Słownie␣:jeden␣złoty␣dwanaście␣groszy");
        row("1.375", 1.375, "Słownie␣:jeden␣złoty␣trzydzieści␣osiem␣groszy");
        row("0.005", 0.005, "Słownie␣:␣");
        // Negative totals word nothing.
        row("-0.01", -0.01, "Słownie␣:␣");
        row("-5.50", -5.5, "Słownie␣:␣");
        row("far below", -1e12, "Słownie␣:␣");
    }
    void wordsLine() {
        QFETCH(double, total);
        QFETCH(QString, line);
        QVERIFY(voucherTotalFits(total));
        QCOMPARE(kestrana::wordsLine(total), std::optional<QString>(line));
    }

    // The printout words the text of the total field, whatever it holds.
    void wordsLineOfTotalText_data() {
        QTest::addColumn<QString>("razem");
        QTest::addColumn<QString>("line");
        QTest::newRow("formatted")
            << QStringLiteral("   12.50")
            << blanks(QStringLiteral("Słownie␣:dwanaście␣złotych␣pięćdziesiąt␣␣groszy"));
        QTest::newRow("empty") << QString() << blanks(QStringLiteral("Słownie␣:␣"));
        QTest::newRow("letters") << QStringLiteral("abc") << blanks(QStringLiteral("Słownie␣:␣"));
        QTest::newRow("negative") << QStringLiteral("  -19.80")
                                  << blanks(QStringLiteral("Słownie␣:␣"));
    }
    void wordsLineOfTotalText() {
        QFETCH(QString, razem);
        QFETCH(QString, line);
        QCOMPARE(kestrana::wordsLine(readAmount(razem)), std::optional<QString>(line));
    }

    void totalsBeyondTheWordsAreRefused_data() {
        QTest::addColumn<double>("total");
        QTest::newRow("2^31") << 2147483648.0;
        QTest::newRow("2^31 from text") << readAmount(u"2147483648.00");
        QTest::newRow("huge") << 1e300;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity();
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    }
    void totalsBeyondTheWordsAreRefused() {
        QFETCH(double, total);
        QVERIFY(!voucherTotalFits(total));
        QVERIFY(!kestrana::wordsLine(total).has_value());
    }
};

KESTRANA_TEST(AmountWordsTest)
#include "AmountWordsTest.moc"
