#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "envelope/EnvelopeRecords.h"
#include "platform/CheckedFile.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QLabel>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

// Damaged files and odd input: a clear message or a documented fallback, never a crash, and
// no change to other data.
class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void emptyMainFile() {
        DataFolder folder;
        folder.writeBytes("DANE/spis_ks.dat", QByteArray());
        WindowSession s;
        // A register without entries is no register to copy: the daily copy says so.
        s.prompts.expectError(QStringLiteral("kopia zapasowa nie została zrobiona"));
        s.start(folder.path());
        QCOMPARE(s.lista()->count(), 0);
        QCOMPARE(s.find<QLabel>("Label46")->text(), QStringLiteral(" 0 poz"));
        s.click("SpeedButton12"); // nothing to move to
        s.prompts.expectInformation(QStringLiteral("Nie można skasować ostatniego wpisu."));
        s.click("SpeedButton16");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), QByteArray());
    }

    void lengthBytesOf255() {
        DataFolder folder;
        EntryRecord r = entry("1", "Alfa");
        for (const FieldLayout& field : fieldLayouts()) {
            if (QLatin1String(field.name) != QLatin1String("id"))
                r.data()[field.offset] = char(255);
        }
        folder.writeEntries({r});
        WindowSession s;
        s.start(folder.path());
        QCOMPARE(s.lista()->count(), 1);
        QCOMPARE(s.field("nazwa1").size(), 60); // read as the field's width
        QCOMPARE(s.field("datamodyfikacji").size(), 12);
    }

    void siecDatOfTenBytes() {
        DataFolder folder;
        folder.writeBytes("ADMINI/siec.dat", QByteArray(10, '\1'));
        WindowSession s;
        s.prompts.expectError(QStringLiteral("siec.dat"));
        s.start(folder.path());
        QVERIFY(!s.window->startupCompleted());
        QCOMPARE(folder.readBytes("ADMINI/siec.dat"), QByteArray(10, '\1'));
    }

    void oddAmounts_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1e308 reads its leading digits") << "1e308"
                                                        << "    1.00";
        QTest::newRow("--5 has no number") << "--5"
                                           << "    0.00";
    }
    void oddAmounts() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const double amount = readAmount(typed);
        QCOMPARE(formatAmount(amount), shown);
        QVERIFY(wordsLine(amount).has_value());
    }

    void shortProfileIsRefused() {
        DataFolder folder;
        folder.writeBytes("krotki.pro", QByteArray(100, '\1'));
        QVERIFY_THROWS_EXCEPTION(IoError, readEnvelopeProfile(folder.file("krotki.pro")));
    }

    void saveThatFailsHalfWay() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(3));
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton15");
        s.setField("nazwa1", QStringLiteral("Nowy"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        s.prompts.expectError(QStringLiteral("spis_ks.dat"));
        // The counter is written first; the disk fills up in the new record.
        s.faults.failWritesAfter(4 + 700, ENOSPC);
        s.click("SpeedButton17");
        s.faults.clear();
        QVERIFY(s.prompts.done());
        // The stored entries stay whole and the torn record is cut off again.
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        // The next save goes after the last whole record.
        s.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        s.click("SpeedButton17");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat").size(), 3 * 1678);
        QCOMPARE(folder.readEntries()[2].text(Field::nazwa1), QStringLiteral("Nowy"));
    }

    void textsOutsideTheCodePage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cyrillic") << QStringLiteral("Завод Ąę") << QStringLiteral("????? Ąę");
        QTest::newRow("emoji") << QStringLiteral("Firma 😀") << QStringLiteral("Firma ?");
        QTest::newRow("a long paste")
            << QString(10000, QLatin1Char('x')) << QString(60, QLatin1Char('x'));
    }
    void textsOutsideTheCodePage() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        WindowSession s;
        s.start(folder.path());
        s.setField("nazwa1", typed);
        s.setField("miejscowosc", typed);
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        const auto entries = folder.readEntries();
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].text(Field::nazwa1), stored);
        QCOMPARE(entries[0].text(Field::miejscowosc), stored.left(40));
        QCOMPARE(entries[1], entry("2", "Beta"));
        QCOMPARE(s.field("nazwa1"), stored);
    }
};

KESTRANA_TEST(BadInputTest)
#include "BadInputTest.moc"
