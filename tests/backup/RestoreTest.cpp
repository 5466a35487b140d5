#include "backup/Restore.h"
#include "backup/Backup.h"
#include "platform/FaultInjector.h"
#include "platform/IoError.h"
#include "register/RestoreJournal.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

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
        // IDs 3 was given out after the copy: the counter does not go back to it.
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), QByteArray("\4\0\0\0", 4));
        QCOMPARE(result.copyCounter, 3);
        QCOMPARE(result.counterKept, 4);
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
        // Never followed: a link, a pipe or a folder where a file belongs is refused by name.
        QTest::newRow("a linked main file") << copyName << "@DANE/spis_ks.dat"
                                            << "DANE/spis_ks.dat nie jest zwykłym plikiem";
        QTest::newRow("a linked company file") << copyName << "@ADMINI/firma.dat"
                                               << "ADMINI/firma.dat nie jest zwykłym plikiem";
        QTest::newRow("a linked description") << copyName << "@OPISY/opis_ks_1.dat"
                                              << "OPISY/opis_ks_1.dat nie jest zwykłym";
        QTest::newRow("a pipe among documents") << copyName << "|DOKUMENTY/potok"
                                                << "DOKUMENTY/potok nie jest zwykłym plikiem";
        QTest::newRow("a folder for the company file")
            << copyName << "/ADMINI/firma.dat"
            << "ADMINI/firma.dat nie jest zwykłym plikiem";
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
        if (damage.startsWith('@')) {
            QFile::remove(damaged);
            QVERIFY(QFile::link(folder.file("DANE/spis_ks.dat"), damaged));
        }
        if (damage.startsWith('|'))
            QCOMPARE(::mkfifo(QFile::encodeName(damaged).constData(), 0666), 0);
        if (damage.startsWith('/')) {
            QFile::remove(damaged);
            QVERIFY(QDir().mkdir(damaged));
        }
        try {
            backup::restore(stationOn(folder), name, today, QTime(15, 30));
            QFAIL("restored");
        } catch (const IoError& e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QCOMPARE(folder.readEntries().size(), size_t(3));
        QCOMPARE(namesIn(folder.file("KOPIE")), QStringList{copyName});
    }

    // A failure part way puts the whole register back as it was, and nothing staged is left.
    // Should putting it back fail too, the journal stays and the next start finishes the
    // restore instead.
    void failureLeavesTheRegisterAsItWas_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("pathPart");
        QTest::addColumn<bool>("safetyCopy");
        QTest::addColumn<QString>("putBackFails"); // a path part whose first rename fails
        const int rename = static_cast<int>(files::Call::Rename);
        const int open = static_cast<int>(files::Call::Open);
        QTest::newRow("finishing the copy of the present state")
            << rename << 1 << ".tmp." << false << "";
        QTest::newRow("staging the copy's documents")
            << open << 1 << copyName + "/DOKUMENTY" << true << "";
        QTest::newRow("moving the copy's main file in") << rename << 2 << "/DANE/" << true << "";
        QTest::newRow("moving a description aside")
            << rename << 1 << "OPISY/opis_ks_3.dat" << true << "";
        QTest::newRow("putting back fails as well")
            << rename << 1 << "OPISY/opis_ks_3.dat" << true << "DANE.old";
    }
    void failureLeavesTheRegisterAsItWas() {
        QFETCH(int, call);
        QFETCH(QString, pathPart);
        QFETCH(int, nth);
        QFETCH(bool, safetyCopy);
        QFETCH(QString, putBackFails);
        DataFolder folder;
        morning(folder);
        afternoon(folder);
        Workstation ws = stationOn(folder);
        files::FaultInjector faults;
        faults.failCall(static_cast<files::Call>(call), nth, EIO, pathPart);
        if (!putBackFails.isEmpty())
            faults.failCall(files::Call::Rename, 1, EIO, putBackFails);
        ws.faults = &faults;
        QVERIFY_THROWS_EXCEPTION(IoError, backup::restore(ws, copyName, today, QTime(15, 30)));
        const bool restored = !putBackFails.isEmpty();
        if (restored) {
            QVERIFY(QFileInfo::exists(folder.file("KOPIE/przywracanie.dat")));
            const QStringList done = restoring::finishInterruptedRestore(stationOn(folder));
            QVERIFY2(done.join(' ').contains("dokończono je teraz"), qPrintable(done.join(' ')));
        }
        QCOMPARE(folder.readEntries().size(), size_t(restored ? 2 : 3));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat")[0], '\4');
        QCOMPARE(folder.readBytes("OPISY/opis_ks_1.dat"),
                 QByteArray(restored ? "rano" : "po poludniu"));
        QCOMPARE(QFileInfo::exists(folder.file("OPISY/opis_ks_3.dat")), !restored);
        QCOMPARE(folder.readBytes("DOKUMENTY/nrkp.dat"), QByteArray(15, restored ? '\1' : '\2'));
        QCOMPARE(namesIn(folder.file("KOPIE")),
                 (safetyCopy ? QStringList{copyName, "2007-03-05_1530"} : QStringList{copyName}));
    }

    // Files put back keep the access the office gave them, whatever the restoring user's umask.
    void restoredFilesKeepTheirMode() {
        DataFolder folder;
        morning(folder);
        afternoon(folder);
        for (const char* file : {"DANE/spis_ks.dat", "OPISY/opis_ks_1.dat"})
            QVERIFY(::chmod(QFile::encodeName(folder.file(file)).constData(), 0664) == 0);
        const mode_t old = ::umask(022);
        backup::restore(stationOn(folder), copyName, today, QTime(15, 30));
        ::umask(old);
        for (const char* file : {"DANE/spis_ks.dat", "OPISY/opis_ks_1.dat"}) {
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(folder.file(file)).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0664));
        }
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
