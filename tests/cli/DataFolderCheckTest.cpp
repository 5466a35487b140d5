#include "cli/FolderCheck.h"
#include "register/DataFolderSetup.h"
#include "register/Startup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

Workstation demo(const DataFolder& folder) {
    installDataFolder(folder.path(), true, QStringLiteral("2026-12-07"));
    return startup::prepareWorkstation(folder.path(), false, QStringLiteral("2026-12-07"));
}

QStringList texts(const QList<CheckFinding>& findings, bool damage) {
    QStringList out;
    for (const CheckFinding& f : findings) {
        if (f.damage == damage)
            out << f.text;
    }
    return out;
}

} // namespace

class DataFolderCheckTest : public QObject {
    Q_OBJECT

private slots:
    void healthyDemoFolder() {
        DataFolder folder(false);
        const Workstation ws = demo(folder);
        QVERIFY(checkWholeDataFolder(ws, QDateTime::currentDateTime()).isEmpty());
    }

    void damage_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("append");
        QTest::addColumn<QString>("reported");
        QTest::newRow("partial last record")
            << "DANE/spis_ks.dat" << QByteArray(100, 'x') << true << "niepełny rekord";
        QTest::newRow("empty main file")
            << "DANE/spis_ks.dat" << QByteArray() << false << "nie zawiera ani jednego wpisu";
        QTest::newRow("siec.dat of 10 bytes")
            << "ADMINI/siec.dat" << QByteArray(10, '\1') << false << "siec.dat: ma 10 B";
        QTest::newRow("firma.dat cut short")
            << "ADMINI/firma.dat" << QByteArray(305, '\0') << false << "firma.dat: ma 305 B";
        QTest::newRow("profile of 100 bytes")
            << "Koperty/zly.pro" << QByteArray(100, '\0') << false << "zly.pro: ma 100 B";
        QTest::newRow("kpw of 4019 bytes")
            << "DOKUMENTY/dowod.kpw" << QByteArray(4019, '\0') << false << "dowod.kpw: ma 4019 B";
        QTest::newRow("counter in use")
            << "ADMINI/id_ks.dat" << int32Bytes(40) << false << "licznik ID wynosi 40";
        // A missing file: "-" removes it.
        QTest::newRow("no counter") << "ADMINI/id_ks.dat" << QByteArray("-") << false
                                    << "brak licznika ID. Uruchom program: założy go z wartością";
        QTest::newRow("no firma.dat")
            << "ADMINI/firma.dat" << QByteArray("-") << false << "brak danych firmy";
        QTest::newRow("restore cut short") << "KOPIE/przywracanie.dat" << QByteArray("x") << false
                                           << "przywracanie kopii zapasowej zostało przerwane";
    }
    void damage() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, append);
        QFETCH(QString, reported);
        DataFolder folder(false);
        const Workstation ws = demo(folder);
        QDir(folder.path()).mkpath(QFileInfo(folder.file(file)).path());
        if (bytes == "-")
            QVERIFY(QFile::remove(folder.file(file)));
        else
            folder.writeBytes(file, append ? folder.readBytes(file) + bytes : bytes);
        const QStringList found =
            texts(checkWholeDataFolder(ws, QDateTime::currentDateTime()), true);
        QVERIFY2(found.join('\n').contains(reported), qPrintable(found.join('\n')));
    }

    void entryDamage() {
        DataFolder folder;
        EntryRecord longName = entry("3", "Alfa");
        longName.data()[layoutOf(Field::nazwa2).offset] = char(255);
        folder.writeEntries({entry("1", "A"), entry("../../x", "B"), longName, entry("1", "C")});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(9));
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        const QString found =
            texts(checkWholeDataFolder(ws, QDateTime::currentDateTime()), true).join('\n');
        QVERIFY(found.contains("„../../x” nie składa się z samych cyfr"));
        QVERIFY(found.contains("pole nazwa2 ma bajt długości 255"));
        QVERIFY(found.contains("numer ID 1 występuje dwa razy (wpisy nr 1 i 4)"));
        QVERIFY(!found.contains("licznik"));
    }

    void locksAndLeftDescriptionsAreNotices() {
        DataFolder folder(false);
        const Workstation ws = demo(folder);
        folder.writeBytes("KOSZ/12.p", int32Bytes(1));
        folder.writeBytes("OPISY/opis_ks_99.dat", "stary opis\r\n");
        folder.writeBytes("DANE/spis_ks.dat.tmp.4242", QByteArray(100, 'x'));
        QDir(folder.path()).mkpath("KOPIE/2026-12-07_0800.tmp.4242/DANE");
        folder.writeBytes("KOPIE/2026-12-07_0800.tmp.4242/DANE/spis_ks.dat", QByteArray(7, 'x'));
        const QList<CheckFinding> findings =
            checkWholeDataFolder(ws, QDateTime::currentDateTime().addSecs(600));
        QVERIFY(texts(findings, true).isEmpty());
        const QString notices = texts(findings, false).join('\n');
        QVERIFY(notices.contains("wpis 12 jest zablokowany od 10 min"));
        QVERIFY(notices.contains("opis bez wpisu (numer ID 99"));
        QVERIFY(notices.contains("spis_ks.dat.tmp.4242: pozostałość przerwanego zapisu"));
        QVERIFY(notices.contains("2026-12-07_0800.tmp.4242: pozostałość przerwanej kopii "
                                 "zapasowej lub przywracania (7 B)"));
    }
};

KESTRANA_TEST(DataFolderCheckTest)
#include "DataFolderCheckTest.moc"
