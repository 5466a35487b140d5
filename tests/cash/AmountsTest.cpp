#include "cash/Amounts.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

using namespace kestrana;

class AmountsTest : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, double value, const char* text) {
            QTest::newRow(name) << value << QString::fromLatin1(text);
        };
        row("12.5", 12.5, "   12.50");
        row("0", 0.0, "    0.00");
        row("-3.5", -3.5, "   -3.50");
        row("7", 7.0, "    7.00");
        row("exactly 8 wide", 99999.99, "99999.99");
        row("negative 8 wide", -9999.99, "-9999.99");
        row("wider", 100000.0, "100000.00");
        row("largest worded", 2147483647.99, "2147483647.99");
        // Halves away from zero.
        row("half up", 0.125, "    0.13");
        row("half down", -0.125, "   -0.13");
        row("half of a grosz", 0.005, "    0.01");
        row("carry", 99.999, "  100.00");
        row("negative carry", -99.999, " -100.00");
        row("above half", 1234.565, " 1234.57"); // stored a little above the half
        // Judged on 18 significant digits: these are stored just below the half, which fewer
        // digits would hide.
        row("0.015", 0.015, "    0.01");
        row("1.005", 1.005, "    1.00");
        row("2.675", 2.675, "    2.67");
        row("9.995", 9.995, "    9.99");
        // No negative zero.
        row("-0.001", -0.001, "    0.00");
        row("-0", -0.0, "    0.00");
        // Beyond 18 significant digits only zeros.
        row("1.2345678901234568e20", 123456789012345678901.0, "123456789012345684000.00");
    }
    void format() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatAmount(value), text);
    }

    void read_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("plain") << QStringLiteral("12.5") << 12.5;
        QTest::newRow("formatted") << QStringLiteral("   12.50") << 12.5;
        QTest::newRow("negative") << QStringLiteral("  -3.50") << -3.5;
        QTest::newRow("plus") << QStringLiteral("+2") << 2.0;
        QTest::newRow("comma stops") << QStringLiteral("12,5") << 12.0;
        QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2;
        QTest::newRow("no whole digits") << QStringLiteral(".5") << 0.5;
        QTest::newRow("no fraction digits") << QStringLiteral("5.") << 5.0;
        QTest::newRow("point only") << QStringLiteral(".") << 0.0;
        QTest::newRow("sign only") << QStringLiteral("-") << 0.0;
        QTest::newRow("letters") << QStringLiteral("abc") << 0.0;
        QTest::newRow("trailing letters") << QStringLiteral("12zł") << 12.0;
        QTest::newRow("blank after sign") << QStringLiteral("- 5") << 0.0;
        QTest::newRow("tab is no blank") << QStringLiteral("\t5") << 0.0;
        QTest::newRow("thousands blank") << QStringLiteral("1 000") << 1.0;
        QTest::newRow("too many digits")
            << QString(400, u'9') << std::numeric_limits<double>::max();
        QTest::newRow("too many digits, negative")
            << (QLatin1Char('-') + QString(400, u'9')) << -std::numeric_limits<double>::max();
        QTest::newRow("too small")
            << (QStringLiteral("0.") + QString(400, u'0') + QLatin1Char('1')) << 0.0;
    }
    void read() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readAmount(text), value);
    }

    void amountKeys_data() {
        QTest::addColumn<QChar>("key");
        QTest::addColumn<QString>("result"); // empty: dropped
        QTest::newRow("comma") << QChar(u',') << QStringLiteral(".");
        QTest::newRow("point") << QChar(u'.') << QStringLiteral(".");
        QTest::newRow("0") << QChar(u'0') << QStringLiteral("0");
        QTest::newRow("9") << QChar(u'9') << QStringLiteral("9");
        QTest::newRow("backspace") << QChar(u'\b') << QStringLiteral("\b");
        QTest::newRow("enter") << QChar(u'\r') << QStringLiteral("\r");
        QTest::newRow("letter") << QChar(u'a') << QString();
        QTest::newRow("minus") << QChar(u'-') << QString();
        QTest::newRow("blank") << QChar(u' ') << QString();
        QTest::newRow("polish letter") << QChar(u'ą') << QString();
        QTest::newRow("escape") << QChar(u'\x1b') << QString();
    }
    void amountKeys() {
        QFETCH(QChar, key);
        QFETCH(QString, result);
        const std::optional<QChar> filtered = filterAmountKey(key);
        QCOMPARE(filtered ? QString(*filtered) : QString(), result);
    }

    void reformatCells_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("typed") << QStringLiteral("12.5") << QStringLiteral("   12.50");
        QTest::newRow("formatted") << QStringLiteral("   12.50") << QStringLiteral("   12.50");
        QTest::newRow("whole") << QStringLiteral("7") << QStringLiteral("    7.00");
        QTest::newRow("zero kept") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("zero with decimals kept")
            << QStringLiteral("0.00") << QStringLiteral("0.00");
        QTest::newRow("empty kept") << QString() << QString();
        QTest::newRow("letters kept") << QStringLiteral("abc") << QStringLiteral("abc");
        QTest::newRow("loaded comma") << QStringLiteral("12,5") << QStringLiteral("   12.00");
    }
    void reformatCells() {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(reformatAmountCell(text), result);
    }

    void totalAndChange() {
        VoucherGrid grid;
        grid.kwota = {QStringLiteral("   12.50"), QStringLiteral("7"),   QString(),
                      QStringLiteral("abc"),      QStringLiteral("0.1"), QStringLiteral("0.2"),
                      QStringLiteral("0"),        QStringLiteral(".05"), QString(),
                      QStringLiteral("-1")};
        const double total = gridTotal(grid);
        QCOMPARE(formatAmount(total), QStringLiteral("   18.85"));
        QCOMPARE(changeText(QString(), total), std::nullopt);
        QCOMPARE(changeText(QStringLiteral("20"), total), QStringLiteral("    1.15"));
        // An empty cash field reads 0 once it is formatted: the change is the negative total.
        QCOMPARE(cashFieldText(QString()), QStringLiteral("    0.00"));
        QCOMPARE(changeText(cashFieldText(QString()), total), QStringLiteral("  -18.85"));
        QCOMPARE(cashFieldText(QStringLiteral("12,5")), QStringLiteral("   12.00"));

        grid.kwota.fill(QString(400, u'9'));
        QCOMPARE(gridTotal(grid), std::numeric_limits<double>::max());
    }
};

KESTRANA_TEST(AmountsTest)
#include "AmountsTest.moc"
