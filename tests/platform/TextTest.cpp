#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Numbers.h"
#include "platform/ShortString.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

using namespace kestrana;

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void shortStringStore_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("polish letters") << QStringLiteral("Zażółć ŁÓDŹ") << 20
                                        << QByteArray("Za\xbf\xf3\xb3\xe6 \xa3\xd3\x44\x8f");
        QTest::newRow("cut to width")
            << QStringLiteral("abcdefghijk") << 10 << QByteArray("abcdefghij");
        QTest::newRow("euro sign") << QStringLiteral("€5") << 10
                                   << QByteArray("\x80"
                                                 "5");
        QTest::newRow("missing letter") << QStringLiteral("Жук") << 10 << QByteArray("???");
        QTest::newRow("outside the plane is one ?")
            << QStringLiteral("a😀b") << 10 << QByteArray("a?b");
        QTest::newRow("empty") << QString() << 10 << QByteArray();
    }
    void shortStringStore() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, stored);
        QByteArray field(width + 1, '\x55');
        writeShortString(field.data(), width, text);
        QCOMPARE(static_cast<unsigned char>(field[0]), stored.size());
        QCOMPARE(field.mid(1, stored.size()), stored);
        QCOMPARE(field.mid(1 + stored.size()), QByteArray(width - stored.size(), '\0'));
        QCOMPARE(readShortString(field.constData(), width), cp1250::decode(stored));
    }

    void shortStringRead_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("bytes after the length do not count") << QByteArray("\x03"
                                                                           "abcdef",
                                                                           7)
                                                             << QStringLiteral("abc");
        QTest::newRow("length above the width reads as the width") << QByteArray("\xff"
                                                                                 "abcdef",
                                                                                 7)
                                                                   << QStringLiteral("abcdef");
        QTest::newRow("polish") << QByteArray("\x02\xb9\xea", 3) << QStringLiteral("ąę");
    }
    void shortStringRead() {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QCOMPARE(readShortString(field.constData(), static_cast<int>(field.size()) - 1), text);
    }

    void everyByteSurvivesDecodeAndEncode() {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        QCOMPARE(cp1250::encode(cp1250::decode(all)), all);
    }

    void missingCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("missing");
        QTest::newRow("Polish letters and the euro")
            << QStringLiteral("Zażółć gęślą jaźń €") << QString();
        QTest::newRow("Cyrillic, each once")
            << QStringLiteral("жук и жаба") << QStringLiteral("жукиаб");
        QTest::newRow("beside Polish") << QStringLiteral("Łódź ж") << QStringLiteral("ж");
        QTest::newRow("outside the BMP") << QStringLiteral("a😀b😀") << QStringLiteral("😀");
    }
    void missingCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, missing);
        QCOMPARE(cp1250::missingCharacters(text), missing);
    }

    void readLeadingInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("digits then letters") << QStringLiteral("12ab") << 12;
        QTest::newRow("leading blanks and minus") << QStringLiteral("  -5") << -5;
        QTest::newRow("plus") << QStringLiteral("+7x") << 7;
        QTest::newRow("no digits") << QStringLiteral("abc") << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("sign only") << QStringLiteral("-") << 0;
        QTest::newRow("too large")
            << QStringLiteral("99999999999") << std::numeric_limits<int>::max();
        QTest::newRow("too small")
            << QStringLiteral("-99999999999") << std::numeric_limits<int>::min();
    }
    void readLeadingInt() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(kestrana::readLeadingInt(text), value);
    }

    void todayStringIsPadded() {
        QCOMPARE(todayString(QDate(2007, 3, 5)), QStringLiteral("2007-03-05"));
        QCOMPARE(todayString(QDate(2026, 12, 31)), QStringLiteral("2026-12-31"));
    }
};

KESTRANA_TEST(TextTest)
#include "TextTest.moc"
