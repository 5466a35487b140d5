#include "register/EntryForm.h"
#include "register/EntryRecord.h"
#include "station/SmallRecords.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

class RecordTest : public QObject {
    Q_OBJECT

private slots:
    void fieldOffsets_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        const int expected[][2] = {{0, 10},   {11, 20},  {32, 10},  {43, 60},  {104, 60},
                                   {165, 40}, {206, 40}, {247, 40}, {288, 40}, {329, 40},
                                   {370, 40}, {411, 40}, {452, 40}, {493, 60}, {554, 40},
                                   {595, 40}, {636, 40}, {677, 40}, {718, 40}, {759, 60},
                                   {820, 60}, {881, 40}, {922, 40}, {963, 40}, {1004, 12}};
        for (int i = 0; i < kTextFieldCount; ++i)
            QTest::newRow(fieldLayouts()[i].name) << i << expected[i][0] << expected[i][1];
    }
    void fieldOffsets() {
        QFETCH(int, field);
        QFETCH(int, offset);
        QFETCH(int, width);
        const FieldLayout& l = fieldLayouts()[field];
        QCOMPARE(l.offset, offset);
        QCOMPARE(l.width, width);
        // Writing the field touches exactly its own bytes.
        EntryRecord r;
        r.setText(static_cast<Field>(field), QString(width + 5, QLatin1Char('x')));
        const QByteArray bytes = r.toByteArray();
        QCOMPARE(static_cast<int>(static_cast<unsigned char>(bytes[offset])), width);
        QCOMPARE(bytes.mid(offset + 1, width), QByteArray(width, 'x'));
        QCOMPARE(bytes.count('x'), width);
        QCOMPARE(bytes.count('\0'), EntryRecord::Size - width - 1);
    }

    void flagOffsetsAndSize() {
        QCOMPARE(sizeof(EntryRecord), size_t(1678));
        EntryRecord r;
        r.setUmowa(true);
        r.setCategory(1, true);
        r.setCategory(20, true);
        r.setGroup(1, true);
        r.setGroup(20, true);
        const QByteArray b = r.toByteArray();
        QCOMPARE(b.size(), 1678);
        for (int offset : {1017, 1018, 1037, 1038, 1057})
            QCOMPARE(int(b[offset]), 1);
        QCOMPARE(b.count('\1'), 5);
    }

    void onlyOneCountsAsSet() {
        EntryRecord r;
        r.data()[1017] = 2;
        r.data()[1020] = char(0xff);
        QVERIFY(!r.umowa());
        QVERIFY(!r.category(3));
    }

    void editKeepsReservedBytesAndGroup20() {
        EntryRecord stored;
        stored.setText(Field::id, u"7");
        stored.setGroup(20, true);
        for (int i = 0; i < EntryRecord::ReservedSize; ++i)
            stored.data()[EntryRecord::ReservedOffset + i] = static_cast<char>(i * 7 + 1);
        EntryRecord buffer = stored;
        EntryFormValues form;
        recordToForm(buffer, form);
        showFlags(buffer, form);
        QVERIFY(form.z[19]);
        formToRecord(form, buffer, false);
        QCOMPARE(buffer, stored);
    }

    void addModeStartsFromZeroBytes() {
        EntryRecord buffer;
        std::memset(buffer.data() + EntryRecord::ReservedOffset, 0x5a, EntryRecord::ReservedSize);
        EntryFormValues form;
        form[Field::nazwa1] = QString(61, QLatin1Char('N'));
        form.k[2] = true;
        formToRecord(form, buffer, true);
        QCOMPARE(buffer.text(Field::nazwa1), QString(60, QLatin1Char('N')));
        QVERIFY(buffer.category(3));
        const QByteArray bytes = buffer.toByteArray();
        QCOMPARE(bytes.mid(EntryRecord::ReservedOffset),
                 QByteArray(EntryRecord::ReservedSize, '\0'));
    }

    void recordToFormLeavesBoxesUntilShowFlags() {
        EntryFormValues form;
        form.k[2] = true;
        form.umowa = true;
        EntryRecord r; // category 3 and umowa are 0
        recordToForm(r, form);
        QVERIFY(form.k[2]);
        QVERIFY(!form.umowa);
        showFlags(r, form);
        QVERIFY(!form.k[2]);
    }

    void contractPicture() {
        EntryRecord r;
        QCOMPARE(contractPictureSubPath(r), QStringLiteral("OBRAZKI/ks1.ico"));
        r.setUmowa(true);
        QCOMPARE(contractPictureSubPath(r), QStringLiteral("OBRAZKI/ks0.ico"));
    }

    void smallRecordLayouts() {
        StorageRecord s;
        s.tryb = 2;
        s.sciezkaLokalna = QStringLiteral("/lokal");
        s.sciezkaSieciowa = QString(210, QLatin1Char('s'));
        const QByteArray b = s.toBytes();
        QCOMPARE(b.size(), 403);
        QCOMPARE(int(b[0]), 2);
        QCOMPARE(int(b[1]), 6);
        QCOMPARE(static_cast<unsigned char>(b[202]), 200);
        const StorageRecord back = StorageRecord::fromBytes(b);
        QCOMPARE(back.sciezkaSieciowa.size(), 200);
        QCOMPARE(back.sciezkaLokalna, QStringLiteral("/lokal"));

        CompanyRecord c;
        c.lines[5] = QStringLiteral("konto");
        const QByteArray cb = c.toBytes();
        QCOMPARE(cb.size(), 306);
        QCOMPARE(cb.mid(255, 6), QByteArray("\x05konto"));
        QCOMPARE(int32Bytes(258), QByteArray("\x02\x01\0\0", 4));
        QCOMPARE(int32FromBytes(QByteArray("\xff\xff\xff\xff", 4)), -1);
    }
};

KESTRANA_TEST(RecordTest)
#include "RecordTest.moc"
