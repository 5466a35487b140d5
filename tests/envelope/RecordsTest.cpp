#include "envelope/EnvelopeRecords.h"
#include "platform/CheckedFile.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

namespace {

QByteArray at(QByteArray bytes, int offset, const QByteArray& field) {
    bytes.replace(offset, field.size(), field);
    return bytes;
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT

private slots:
    void settingsDefaultsByteForByte() {
        QByteArray expected(480, '\0');
        for (int offset : {324, 348})
            expected = at(expected, offset,
                          QByteArray("\x02"
                                     "50",
                                     3));
        for (int offset : {330, 354})
            expected = at(expected, offset,
                          QByteArray("\x03"
                                     "100",
                                     4));
        for (int offset : {336, 360})
            expected = at(expected, offset,
                          QByteArray("\x03"
                                     "150",
                                     4));
        for (int offset : {342, 366})
            expected = at(expected, offset,
                          QByteArray("\x03"
                                     "200",
                                     4));
        for (int offset : {372, 378, 429})
            expected = at(expected, offset,
                          QByteArray("\x01"
                                     "5",
                                     2));
        QCOMPARE(EnvelopeSettings::defaults().toBytes(), expected);
        QCOMPARE(EnvelopeLogo().toBytes(), QByteArray(243, '\0'));
        QCOMPARE(EnvelopeOptions().toBytes(), QByteArray(3, '\0'));
        QCOMPARE(FormOfAddress().toBytes(), QByteArray(21, '\0'));
    }

    // Each field lands at its offset with its own width.
    void fieldOffsets_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        const int widths[] = {80, 80, 80, 80, 5, 5, 5, 5, 5, 5, 5, 5, 5, 50, 50};
        const int offsets[] = {0,   81,  162, 243, 324, 330, 336, 342,
                               348, 354, 360, 366, 372, 378, 429};
        const char* names[] = {"n1", "n2", "n3", "n4", "l1", "l2",  "l3", "l4",
                               "g1", "g2", "g3", "g4", "od", "l_n", "g_n"};
        for (int i = 0; i < 15; ++i)
            QTest::newRow(names[i]) << i << offsets[i] << widths[i];
    }
    void fieldOffsets() {
        QFETCH(int, field);
        QFETCH(int, offset);
        QFETCH(int, width);
        EnvelopeSettings s;
        QString* fields[] = {&s.sender[0], &s.sender[1], &s.sender[2], &s.sender[3],  &s.left[0],
                             &s.left[1],   &s.left[2],   &s.left[3],   &s.top[0],     &s.top[1],
                             &s.top[2],    &s.top[3],    &s.spacing,   &s.senderLeft, &s.senderTop};
        *fields[field] = QString(width + 7, QChar(u'ż'));
        const QByteArray bytes = s.toBytes();
        QCOMPARE(bytes.size(), 480);
        QByteArray expected(480, '\0');
        expected[offset] = char(width);
        expected.replace(offset + 1, width, QByteArray(width, '\xbf')); // ż in Windows-1250
        QCOMPARE(bytes, expected);
        const EnvelopeSettings back = EnvelopeSettings::fromBytes(bytes.constData());
        const QString* backFields[] = {
            &back.sender[0], &back.sender[1], &back.sender[2], &back.sender[3],  &back.left[0],
            &back.left[1],   &back.left[2],   &back.left[3],   &back.top[0],     &back.top[1],
            &back.top[2],    &back.top[3],    &back.spacing,   &back.senderLeft, &back.senderTop};
        QCOMPARE(*backFields[field], QString(width, QChar(u'ż')));
    }

    void profileIsTheThreeRecordsEndToEnd() {
        EnvelopeProfile p;
        p.settings = EnvelopeSettings::defaults();
        p.settings.sender[3] = QStringLiteral("Łódź");
        p.logo = {QStringLiteral("/home/biuro/logo.jpg"), QStringLiteral("10"),
                  QStringLiteral("123456")};
        p.options = {3, 1, 1};
        const QByteArray bytes = p.toBytes();
        QCOMPARE(bytes.size(), 726);
        QCOMPARE(bytes.left(480), p.settings.toBytes());
        QCOMPARE(bytes.mid(480, 243), p.logo.toBytes());
        QCOMPARE(bytes.mid(711, 6), QByteArray("\x02"
                                               "10\0\0\0",
                                               6));
        QCOMPARE(bytes.mid(717, 6), QByteArray("\x05"
                                               "12345",
                                               6)); // cut to 5
        QCOMPARE(bytes.right(3), QByteArray("\x03\x01\x01", 3));

        EnvelopeProfile back = EnvelopeProfile::fromBytes(bytes.constData());
        QCOMPARE(back.logo.top, QStringLiteral("12345"));
        back.logo.top = p.logo.top;
        QVERIFY(back == p);
    }

    // Readers trust no length byte: one above the width reads as the width.
    void overlongLengthBytesReadAsWidth() {
        QByteArray bytes(726, '\xff');
        const EnvelopeProfile p = EnvelopeProfile::fromBytes(bytes.constData());
        QCOMPARE(p.settings.sender[0].size(), 80);
        QCOMPARE(p.settings.senderTop.size(), 50);
        QCOMPARE(p.logo.path.size(), 230);
        QCOMPARE(int(p.options.size), 255);
    }

    void shortFilesAreErrors() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("krotki.pro"));
        files::writeFile(path, QByteArray(725, '\0'));
        QVERIFY_THROWS_EXCEPTION(IoError, readEnvelopeProfile(path));
        files::writeFile(path, EnvelopeProfile().toBytes() + QByteArray("extra"));
        QVERIFY(readEnvelopeProfile(path) == EnvelopeProfile());
        QVERIFY_THROWS_EXCEPTION(IoError, readEnvelopeOptions(dir.filePath(QStringLiteral("no"))));
    }
};

KESTRANA_TEST(RecordsTest)
#include "RecordsTest.moc"
