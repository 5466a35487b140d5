#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

// The ID panel stores what the counter can hand out as an ID of up to 10 characters: a number
// from 1 to 2147483647. Anything else is refused, never clamped.
class IdPanelTest : public QObject {
    Q_OBJECT

private slots:
    void typedCounterValues_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint32>("stored"); // 0: refused, the counter stays 30
        QTest::newRow("digits then letters") << "12ab" << qint32(12);
        QTest::newRow("largest") << "2147483647" << qint32(2147483647);
        QTest::newRow("one more than the largest") << "2147483648" << qint32(0);
        QTest::newRow("far too large") << "99999999999999999999999" << qint32(0);
        QTest::newRow("zero") << "0" << qint32(0);
        QTest::newRow("empty") << "" << qint32(0);
        QTest::newRow("negative") << "-5" << qint32(0);
        QTest::newRow("blanks and a sign") << "  +7" << qint32(7);
    }
    void typedCounterValues() {
        QFETCH(QString, typed);
        QFETCH(qint32, stored);
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa")});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(30));
        WindowSession boss;
        boss.startAsBoss(folder.path());
        boss.trigger("SprawdaktualnynumerIDklienta1");
        boss.setField("aktualny_id", typed);
        if (stored == 0)
            boss.prompts.expectInformation(QStringLiteral(
                "Numer ID musi być liczbą od 1 do 2147483647. Licznik nie został zmieniony."));
        boss.click("SpeedButton23");
        QVERIFY(boss.prompts.done());
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(stored == 0 ? 30 : stored));
        // A refused value leaves the panel open to be corrected.
        QCOMPARE(boss.find<QWidget>("Panel3")->isHidden(), stored != 0);
    }

    // At the counter's end a new entry is refused with a message and nothing is written.
    void addingAtTheEndIsRefused() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa")});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(2147483647));
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton15");
        s.setField("nazwa1", QStringLiteral("Nowa"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        s.prompts.expectError(QStringLiteral("Nic nie zostało zapisane."));
        s.click("SpeedButton17");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2147483647));
        QVERIFY(!QFile::exists(folder.file("KOSZ/wpis.dat")));
    }
};

KESTRANA_TEST(IdPanelTest)
#include "IdPanelTest.moc"
