#include "backup/Restore.h"
#include "backup/Backup.h"
#include "platform/FaultInjector.h"
#include "platform/IoError.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString today = QStringLiteral("2007-03-05");
const QString copyName = QStringLiteral("2007-03-05_0800");

Workstation stationOn(const DataFolder& folder) {
    Workstation ws;
    ws.workDir = folder.path();
    ws.baseDir = folder.path();
    ws.today = today;
    return ws;
}

QStringList namesIn(const QString& dir) {
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("kopia.lck"));
    names.sort();
    return names;
}

// The register as the morning's copy holds it.
void morning(const DataFolder& folder) {
    folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
    folder.writeBytes("ADMINI/id_ks.dat", QByteArray("\3\0\0\0", 4));
    folder.writeBytes("OPISY/opis_ks_1.dat", "rano");
    folder.writeBytes("DOKUMENTY/nrkp.dat", QByteArray(15, '\1'));
    folder.writeBytes("ADMINI/siec.dat", "stanowisko");
    QVERIFY(backup::makeBackup(stationOn(folder), today, QTime(8, 0)).folder.endsWith(copyName));
}

// The day's work after it: changed, added and a new description.
void afternoon(const DataFolder& folder) {
    folder.writeEntries({entry("1", "Alfa 2"), entry("2", "Beta"), entry("3", "Gamma")});
    folder.writeBytes("ADMINI/id_ks.dat", QByteArray("\4\0\0\0", 4));
    folder.writeBytes("OPISY/opis_ks_1.dat", "po poludniu");
    folder.writeBytes("OPISY/opis_ks_3.dat", "nowy");
    folder.writeBytes("DOKUMENTY/nrkp.dat", QByteArray(15, '\2'));
    folder.writeBytes("ADMINI/siec.dat", "stanowisko po zmianie");
    folder.writeBytes("DANE/spis_ks.lck", "");
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

private slots:
    // The copy comes back as a whole, folder by folder; what it replaced is in a new copy, and
    // the locks and the record of where the data are stay as they were.
    void copyComesBack() {
        DataFolder folder;
        morning(folder);
        afternoon(folder);
        const backup::RestoreResult result =
            backup::restore(stationOn(folder), copyName, today, QTime(15, 30));
        QCOMPARE(result.folders, (QStringList{"DANE", "ADMINI", "OPISY", "DOKUMENTY"}));
        QVERIFY(result.notInCopy.isEmpty());
        QVERIFY(result.cleanupError.isEmpty());
        QCOMPARE(folder.readEntries().size(), size_t(2));
        QCOMPARE(folder.readEntries()[0].text(Field::nazwa1), QStringLiteral("Alfa"));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), QByteArray("\3\0\0\0", 4));
        QCOMPARE(folder.readBytes("OPISY/opis_ks_1.dat"), QByteArray("rano"));
        QVERIFY(!QFileInfo::exists(folder.file("OPISY/opis_ks_3.dat")));
        QCOMPARE(folder.readBytes("DOKUMENTY/nrkp.dat"), QByteArray(15, '\1'));
        QCOMPARE(folder.readBytes("ADMINI/siec.dat"), QByteArray("stanowisko po zmianie"));
        QVERIFY(QFileInfo::exists(folder.file("DANE/spis_ks.lck")));

        QCOMPARE(result.safetyCopy, folder.file("KOPIE/2007-03-05_1530"));
        QCOMPARE(folder.readEntries("KOPIE/2007-03-05_1530/DANE/spis_ks.dat").size(), size_t(3));
        QCOMPARE(folder.readBytes("KOPIE/2007-03-05_1530/OPISY/opis_ks_3.dat"), QByteArray("nowy"));
        // Nothing staged is left beside the copies.
        QCOMPARE(namesIn(folder.file("KOPIE")), (QStringList{copyName, "2007-03-05_1530"}));
    }

    // A copy that is missing or not whole is refused before anything changes, even the copy of
    // the present state.
    void badCopiesAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("damage"); // a file of the copy removed or cut
        QTest::addColumn<QString>("message");
        QTest::newRow("no such copy") << "2007-03-04_0800"
                                      << ""
                                      << "nie ma kopii „2007-03-04_0800”";
        QTest::newRow("not a copy's name") << "../KOPIE/" + copyName << ""
                                           << "nie ma kopii „../KOPIE/2007-03-05_0800”";
        QTest::newRow("no main file") << copyName << "-DANE/spis_ks.dat"
                                      << "niepełna: brak pliku DANE/spis_ks.dat";
        QTest::newRow("a torn entry") << copyName << "~DANE/spis_ks.dat"
                                      << "nie składa się z całych wpisów";
        QTest::newRow("no counter") << copyName << "-ADMINI/id_ks.dat"
                                    << "niepełna: brak licznika ADMINI/id_ks.dat";
    }
    void badCopiesAreRefused() {
        QFETCH(QString, name);
        QFETCH(QString, damage);
        QFETCH(QString, message);
        DataFolder folder;
        morning(folder);
        afternoon(folder);
        const QString damaged = folder.file("KOPIE/" + copyName + "/" + damage.mid(1));
        if (damage.startsWith('-'))
            QVERIFY(QFile::remove(damaged));
        if (damage.startsWith('~'))
            QVERIFY(QFile::resize(damaged, QFileInfo(damaged).size() - 1));
        try {
            backup::restore(stationOn(folder), name, today, QTime(15, 30));
            QFAIL("restored");
        } catch (const IoError& e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QCOMPARE(folder.readEntries().size(), size_t(3));
        QCOMPARE(namesIn(folder.file("KOPIE")), QStringList{copyName});
    }

    // A failure part way: the folders put back stay put back, the failing one is as it was,
    // and nothing staged is left.
    void failureLeavesEachFolderWhole_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("pathPart");
        QTest::addColumn<QStringList>("restored");
        QTest::addColumn<bool>("safetyCopy");
        const int rename = static_cast<int>(files::Call::Rename);
        const int open = static_cast<int>(files::Call::Open);
        QTest::newRow("finishing the copy of the present state")
            << rename << 1 << ".tmp." << QStringList() << false;
        QTest::newRow("the register's second file")
            << rename << 2 << "/DANE/" << QStringList() << true;
        QTest::newRow("putting back a description")
            << rename << 1 << "OPISY/opis_ks_3.dat" << QStringList{"DANE", "ADMINI"} << true;
        QTest::newRow("reading the copy's counter")
            << open << 1 << copyName + "/DOKUMENTY" << QStringList{"DANE", "ADMINI", "OPISY"}
            << true;
    }
    void failureLeavesEachFolderWhole() {
        QFETCH(int, call);
        QFETCH(QString, pathPart);
        QFETCH(int, nth);
        QFETCH(QStringList, restored);
        QFETCH(bool, safetyCopy);
        DataFolder folder;
        morning(folder);
        afternoon(folder);
        Workstation ws = stationOn(folder);
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), nth, EIO, pathPart);
        ws.faults = &faults;
        QVERIFY_THROWS_EXCEPTION(IoError, backup::restore(ws, copyName, today, QTime(15, 30)));
        QCOMPARE(folder.readEntries().size(), size_t(restored.contains("DANE") ? 2 : 3));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat")[0],
                 restored.contains("ADMINI") ? '\3' : '\4');
        QCOMPARE(folder.readBytes("OPISY/opis_ks_1.dat"),
                 QByteArray(restored.contains("OPISY") ? "rano" : "po poludniu"));
        QCOMPARE(QFileInfo::exists(folder.file("OPISY/opis_ks_3.dat")),
                 !restored.contains("OPISY"));
        QCOMPARE(folder.readBytes("DOKUMENTY/nrkp.dat"), QByteArray(15, '\2'));
        QCOMPARE(namesIn(folder.file("KOPIE")),
                 (safetyCopy ? QStringList{copyName, "2007-03-05_1530"} : QStringList{copyName}));
    }

    // Restoring the oldest of a full KOPIE: the copy of the present state does not remove it.
    void oldestCopyIsKeptForItsRestore() {
        DataFolder folder;
        morning(folder);
        for (int hour = 9; hour < 9 + backup::kKeptCopies - 1; ++hour)
            backup::makeBackup(stationOn(folder), today, QTime(hour, 0));
        afternoon(folder);
        backup::restore(stationOn(folder), copyName, today, QTime(23, 0));
        QCOMPARE(folder.readEntries().size(), size_t(2));
        const QStringList copies = backup::listCopies(stationOn(folder));
        QVERIFY(copies.contains(copyName));
        QCOMPARE(copies.first(), QStringLiteral("2007-03-05_2300"));
    }
};

KESTRANA_TEST(RestoreTest)
#include "RestoreTest.moc"
