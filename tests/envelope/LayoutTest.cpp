#include "envelope/EnvelopeLayout.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

namespace {

EnvelopeFields defaults() {
    EnvelopeFields f;
    const EnvelopeSettings s = EnvelopeSettings::defaults();
    f.settings = s;
    f.settings.sender = {QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N3"),
                         QStringLiteral("N4")};
    f.form = QStringLiteral("Pan");
    f.recipient = {QStringLiteral("O2"), QStringLiteral("O3"), QStringLiteral("O4"),
                   QStringLiteral("O5")};
    return f;
}

using Points = QList<QPoint>;

// Sender lines, form of address, recipient lines.
Points positions(const EnvelopeLayout& l) {
    Points p;
    for (const EnvelopeText& t : l.sender)
        p << QPoint(t.x, t.y);
    p << QPoint(l.form.x, l.form.y);
    for (const EnvelopeText& t : l.recipient)
        p << QPoint(t.x, t.y);
    return p;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void textPositions_data() {
        QTest::addColumn<QString>("spacing");
        QTest::addColumn<QString>("senderTop");
        QTest::addColumn<int>("size");
        QTest::addColumn<Points>("expected");
        QTest::newRow("defaults") << "5"
                                  << "5" << 1
                                  << Points{{5, 6},   {5, 11},  {5, 16},  {5, 21}, {50, 50},
                                            {55, 60}, {55, 65}, {55, 70}, {55, 75}};
        QTest::newRow("spacing 0")
            << "0"
            << "5" << 1 << Points{{5, 6},   {5, 6},   {5, 6},   {5, 6},  {50, 50},
                                  {55, 55}, {55, 55}, {55, 55}, {55, 55}};
        QTest::newRow("empty spacing")
            << ""
            << "5" << 1 << Points{{5, 6},   {5, 6},   {5, 6},   {5, 6},  {50, 50},
                                  {55, 55}, {55, 55}, {55, 55}, {55, 55}};
        // The sender top moves the recipient lines too, but not the form of address.
        QTest::newRow("sender top 20")
            << "5"
            << "20" << 1 << Points{{5, 21},  {5, 26},  {5, 31},  {5, 36}, {50, 50},
                                   {55, 75}, {55, 80}, {55, 85}, {55, 90}};
        QTest::newRow("size 3") << "5"
                                << "5" << 3
                                << Points{{5, 6},     {5, 11},    {5, 16},    {5, 21},   {150, 150},
                                          {155, 160}, {155, 165}, {155, 170}, {155, 175}};
        QTest::newRow("12 mm, negative top")
            << "12 mm"
            << " -3" << 2 << Points{{5, -2},    {5, 10},    {5, 22},    {5, 34},   {100, 100},
                                    {105, 109}, {105, 121}, {105, 133}, {105, 145}};
    }
    void textPositions() {
        QFETCH(QString, spacing);
        QFETCH(QString, senderTop);
        QFETCH(int, size);
        QFETCH(Points, expected);
        EnvelopeFields f = defaults();
        f.settings.spacing = spacing;
        f.settings.senderTop = senderTop;
        f.size = size;
        const EnvelopeLayout layout = layoutEnvelope(f, QSize());
        QCOMPARE(positions(layout), expected);
        QCOMPARE(layout.sender[3].text, QStringLiteral("N4"));
        QCOMPARE(layout.form.text, QStringLiteral("Pan"));
        QCOMPARE(layout.recipient[0].text, QStringLiteral("O2"));
        QVERIFY(!layout.logo);
    }

    // Grid positions at 600 dpi are 24 dots a step: the worked example in device dots.
    void workedExampleAt600Dpi() {
        const EnvelopeLayout layout = layoutEnvelope(defaults(), QSize());
        Points dots;
        for (const QPoint& p : positions(layout))
            dots << p * 24;
        QCOMPARE(dots, (Points{{120, 144},
                               {120, 264},
                               {120, 384},
                               {120, 504},
                               {1200, 1200},
                               {1320, 1440},
                               {1320, 1560},
                               {1320, 1680},
                               {1320, 1800}}));
    }

    void logoRectangles_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("corners"); // left, top, right, bottom as x, y, x2, y2
        QTest::newRow("worked example")
            << 10 << 20 << QSize(200, 100) << QRect(QPoint(25, 50), QPoint(525, 300));
        QTest::newRow("left 5: 12.5 to even, 512.5 cut")
            << 5 << 0 << QSize(200, 1) << QRect(QPoint(12, 0), QPoint(512, 2));
        QTest::newRow("left 3: 7.5 to even")
            << 3 << 1 << QSize(1, 1) << QRect(QPoint(8, 2), QPoint(10, 5));
        QTest::newRow("negative halves")
            << -3 << -5 << QSize(2, 2) << QRect(QPoint(-8, -12), QPoint(-2, -7));
        QTest::newRow("far off") << 2147483647 << 0 << QSize(10, 10)
                                 << QRect(QPoint(2147483647, 0), QPoint(2147483647, 25));
    }
    void logoRectangles() {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(QSize, picture);
        QFETCH(QRect, corners);
        const LogoRect r = logoRect(left, top, picture);
        QCOMPARE(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)), corners);
    }

    void logoComesFromTheFields() {
        EnvelopeFields f = defaults();
        f.logo.left = QStringLiteral("10");
        f.logo.top = QStringLiteral("20 pix");
        const EnvelopeLayout layout = layoutEnvelope(f, QSize(200, 100));
        QVERIFY(layout.logo);
        QCOMPARE(layout.logo->toRect(), QRect(25, 50, 500, 250));
        QVERIFY(!layoutEnvelope(f, QSize(0, 0)).logo);
    }
};

KESTRANA_TEST(LayoutTest)
#include "LayoutTest.moc"
