#include "platform/Mnemonics.h"
#include "platform/ReadingOrder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

class CaptionOrderTest : public QObject {
    Q_OBJECT

private slots:
    void mnemonicOfACaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first letter") << "&Baza"
                                      << "b"
                                      << "Baza";
        QTest::newRow("inside, upper case") << "Wyd&Ruki"
                                            << "r"
                                            << "WydRuki";
        QTest::newRow("none") << "Kp"
                              << ""
                              << "Kp";
        QTest::newRow("literal ampersand") << "B&&R"
                                           << ""
                                           << "B&R";
        QTest::newRow("literal, then key") << "B&&R &serwis"
                                           << "s"
                                           << "B&R serwis";
        QTest::newRow("trailing ampersand") << "Koniec&"
                                            << ""
                                            << "Koniec&";
        QTest::newRow("Polish letter") << "&Łąka"
                                       << "ł"
                                       << "Łąka";
    }

    void mnemonicOfACaption() {
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QFETCH(QString, shown);
        const QChar k = mnemonics::keyOf(caption);
        QCOMPARE(k.isNull() ? QString() : QString(k), key);
        QCOMPARE(mnemonics::shown(caption), shown);
        // A name the user chose is shown as typed and takes no key.
        QVERIFY(mnemonics::keyOf(mnemonics::literal(caption)).isNull());
        QCOMPARE(mnemonics::shown(mnemonics::literal(caption)), caption);
    }

    void clashesAreFoundOnceEach() {
        QCOMPARE(mnemonics::clashes(
                     {"&Zapisz", "&zaniechaj", "&Drukuj", "Za&pisz", "&Zamknij", "&Pomoc", "B&&R"}),
                 (QList<QChar>{u'z', u'p'}));
        QVERIFY(mnemonics::clashes({"&Edytuj", "Ed&ytuj", "Kp"}).isEmpty());
    }

    void readingOrder_data() {
        QTest::addColumn<QList<ReadingPlace>>("places");
        QTest::addColumn<QList<int>>("order");
        // Two rows given bottom-up and right-to-left.
        QTest::newRow("rows") << QList<ReadingPlace>{{QRect(100, 40, 50, 20)},
                                                     {QRect(0, 42, 50, 20)},
                                                     {QRect(100, 0, 50, 20)},
                                                     {QRect(0, 0, 50, 20)}}
                              << QList<int>{3, 2, 1, 0};
        // A frame's fields go together, before what lies beside the frame.
        QTest::newRow("frame") << QList<ReadingPlace>{{QRect(200, 0, 50, 20)},
                                                      {QRect(0, 0, 150, 100), true},
                                                      {QRect(10, 60, 50, 20)},
                                                      {QRect(10, 10, 50, 20)}}
                               << QList<int>{1, 3, 2, 0};
        // A tall control on the left and a column beside it: the column is read after it, top
        // to bottom.
        QTest::newRow("column beside a tall control")
            << QList<ReadingPlace>{{QRect(100, 30, 50, 20)},
                                   {QRect(0, 0, 80, 100)},
                                   {QRect(100, 0, 50, 20)}}
            << QList<int>{1, 2, 0};
    }

    void readingOrder() {
        QFETCH(QList<ReadingPlace>, places);
        QFETCH(QList<int>, order);
        QCOMPARE(kestrana::readingOrder(places), order);
    }
};

KESTRANA_TEST(CaptionOrderTest)
#include "CaptionOrderTest.moc"
