#include "backup/Backup.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "programs/SaverRecord.h"
#include "register/FileLock.h"
#include "station/LockWait.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WaitProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <atomic>
#include <cstring>
#include <thread>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

const QString today = QStringLiteral("2007-03-05");
const QTime at(9, 5, 30);
// The name of a copy made today at `at`.
const QString made = QStringLiteral("2007-03-05_0905");

// A register always has its main file: one is made when the test has not written its own.
Workstation stationOn(const DataFolder& folder) {
    if (QDir(folder.file("DANE")).exists() && !QFileInfo::exists(folder.file("DANE/spis_ks.dat")))
        folder.writeBytes("DANE/spis_ks.dat", QByteArray(EntryRecord::Size, '\0'));
    Workstation ws;
    ws.workDir = folder.path();
    ws.baseDir = folder.path();
    ws.today = today;
    return ws;
}

// Every file below `dir`, as relative paths, sorted.
QStringList filesBelow(const QString& dir) {
    QStringList found;
    const QDir root(dir);
    const QFileInfoList entries =
        root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& info : entries) {
        if (info.isDir()) {
            for (const QString& inner : filesBelow(info.filePath()))
                found.append(info.fileName() + QLatin1Char('/') + inner);
        } else {
            found.append(info.fileName());
        }
    }
    found.sort();
    return found;
}

// The entries of a folder; in KOPIE, the backups' own lock file is not counted.
QStringList namesIn(const QString& dir) {
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral("kopia.lck"));
    names.sort();
    return names;
}

void makeFolder(const DataFolder& folder, const QString& subPath) {
    QVERIFY(QDir().mkpath(folder.file(subPath)));
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    // What goes into the copy, whatever the letter case of the folders on disk.
    void copiedFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("inCopy"); // empty: not copied
        QTest::newRow("main file") << "DANE/spis_ks.dat"
                                   << "DANE/spis_ks.dat";
        QTest::newRow("ID counter") << "ADMINI/id_ks.dat"
                                    << "ADMINI/id_ks.dat";
        QTest::newRow("description") << "OPISY/opis_ks_7.dat"
                                     << "OPISY/opis_ks_7.dat";
        QTest::newRow("documents in any case, nested") << "Dokumenty/umowy/2007/umowa.odt"
                                                       << "Dokumenty/umowy/2007/umowa.odt";
        QTest::newRow("a document that only looks temporary") << "Dokumenty/plan.tmp.docx"
                                                              << "Dokumenty/plan.tmp.docx";
        QTest::newRow("empty file") << "ADMINI/pusty.dat"
                                    << "ADMINI/pusty.dat";
        QTest::newRow("main file's lock") << "DANE/spis_ks.lck"
                                          << "";
        QTest::newRow("counter's lock in upper case") << "ADMINI/ID_KS.LCK"
                                                      << "";
        QTest::newRow("temporary file of a killed program") << "DANE/spis_ks.dat.tmp.4242"
                                                            << "";
        QTest::newRow("entry lock (KOSZ is not copied)") << "KOSZ/7.p"
                                                         << "";
        QTest::newRow("pictures are not copied") << "OBRAZKI/logo.jpg"
                                                 << "";
    }
    // Without a whole main file there is nothing to copy: refused, no copy kept.
    void registerWithoutMainFileIsRefused_data() {
        QTest::addColumn<QByteArray>("main");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("a torn entry") << QByteArray(EntryRecord::Size + 5, 'x');
    }
    void registerWithoutMainFileIsRefused() {
        QFETCH(QByteArray, main);
        DataFolder folder;
        const Workstation ws = stationOn(folder);
        QFile::remove(folder.file("DANE/spis_ks.dat"));
        if (!main.isEmpty())
            folder.writeBytes("DANE/spis_ks.dat", main);
        try {
            backup::makeBackup(ws, today, at);
            QFAIL("copied");
        } catch (const IoError& error) {
            QVERIFY2(error.text().contains("kopia zapasowa nie została zrobiona"),
                     qPrintable(error.text()));
        }
        QVERIFY(backup::listCopies(ws).isEmpty());
    }
    void copiedFiles() {
        QFETCH(QString, file);
        QFETCH(QString, inCopy);
        DataFolder folder;
        QVERIFY(QDir(folder.file("DOKUMENTY")).removeRecursively());
        makeFolder(folder, QFileInfo(file).path());
        const QByteArray content = file.endsWith(QLatin1String("pusty.dat")) ? QByteArray()
                                   : file.endsWith(QLatin1String("spis_ks.dat"))
                                       ? QByteArray(EntryRecord::Size * 42, 'x')
                                       : QByteArray(70000, 'x') + file.toUtf8();
        folder.writeBytes(file, content);
        const QDateTime modified(QDate(2006, 1, 2), QTime(3, 4, 5));
        QFile f(folder.file(file));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(modified, QFileDevice::FileModificationTime));
        f.close();

        const backup::Result result = backup::makeBackup(stationOn(folder), today, at);
        QCOMPARE(result.folder, folder.file("KOPIE/" + made));
        const QStringList copied = filesBelow(result.folder);
        if (inCopy.isEmpty()) {
            QVERIFY2(!copied.contains(file, Qt::CaseInsensitive), qPrintable(copied.join(' ')));
            return;
        }
        QVERIFY2(copied.contains(inCopy), qPrintable(copied.join(' ')));
        QCOMPARE(folder.readBytes("KOPIE/" + made + "/" + inCopy), content);
        QCOMPARE(QFileInfo(result.folder + '/' + inCopy).lastModified(), modified);
        // Only the finished copy is in KOPIE.
        QCOMPARE(namesIn(folder.file("KOPIE")), QStringList{made});
    }

    void missingFolderIsSkippedAndNamed() {
        DataFolder folder;
        QVERIFY(QDir(folder.file("DOKUMENTY")).removeRecursively());
        QVERIFY(QDir(folder.path()).rename("OPISY", "opisy"));
        const backup::Result result = backup::makeBackup(stationOn(folder), today, at);
        QCOMPARE(result.missing, QStringList{"DOKUMENTY"});
        QCOMPARE(namesIn(result.folder), (QStringList{"ADMINI", "DANE", "opisy"}));
        QVERIFY(result.removed.isEmpty());
        QVERIFY(result.retentionError.isEmpty());
    }

    void olderCopiesBeyondFourteenRemoved_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name"); // of the new copy
        QTest::addColumn<QStringList>("removed");
        QStringList february;
        for (int day = 1; day <= 16; ++day)
            february.append(QStringLiteral("2007-02-%1").arg(day, 2, 10, QLatin1Char('0')));
        QTest::newRow("16 older copies") << february << made << february.mid(0, 3);
        QTest::newRow("13 older copies: all stay") << february.mid(0, 13) << made << QStringList();
        // Copies named by the day alone count as made at its start.
        QStringList withToday = february.mid(0, 12);
        withToday << today << "2007-03-05_0700" << made;
        QTest::newRow("today's copies stay, one of the same minute")
            << withToday << made + "_2" << february.mid(0, 2);
        QStringList mixed = {"2007-02-01_2359", "2007-02-02", "2007-02-02_0000",
                             "2007-02-02_0000_2", "2007-02-02_0000_10"};
        mixed += february.mid(2, 12);
        QTest::newRow("by day, time and part")
            << mixed << made
            << (QStringList{"2007-02-01_2359", "2007-02-02", "2007-02-02_0000",
                            "2007-02-02_0000_2"});
        // A clock that was once set ahead must not make the new copy the first to go.
        QStringList future;
        for (int month = 1; month <= 12; ++month)
            future.append(QStringLiteral("2030-%1-01").arg(month, 2, 10, QLatin1Char('0')));
        future.append({"2031-01-01", "2031-02-01", "2031-03-01", "2031-04-01"});
        QTest::newRow("16 copies dated in the future")
            << future << made << (QStringList{"2030-01-01", "2030-02-01", "2030-03-01"});
    }
    void olderCopiesBeyondFourteenRemoved() {
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        QFETCH(QStringList, removed);
        DataFolder folder;
        for (const QString& name : existing) {
            makeFolder(folder, "KOPIE/" + name + "/DANE");
            folder.writeBytes("KOPIE/" + name + "/DANE/spis_ks.dat", "stara");
        }
        // Names that are not copies are never touched.
        const QStringList others = {"notatki", "2007-13-01", "2007-02-30", "2007-1-01",
                                    "2007-03-05.zip"};
        for (const QString& name : others)
            makeFolder(folder, "KOPIE/" + name);
        folder.writeBytes("KOPIE/2000-01-01", "a file, not a copy");

        const backup::Result result = backup::makeBackup(stationOn(folder), today, at);
        QCOMPARE(result.folder, folder.file("KOPIE/" + name));
        QCOMPARE(result.removed, removed);
        QStringList expected = existing;
        for (const QString& old : removed)
            expected.removeAll(old);
        expected.append(name);
        expected.append(others);
        expected.append("2000-01-01");
        expected.sort();
        QCOMPARE(namesIn(folder.file("KOPIE")), expected);
        QVERIFY(expected.size() - others.size() - 1 <= backup::kKeptCopies);
        QVERIFY(folder.readBytes("KOPIE/" + name + "/DANE/spis_ks.dat") != "stara");
    }

    // A full disk at any point of the copy, or a failing flush or rename: no date folder and no
    // temporary folder appear, and the copies made before are as they were.
    void failedCopyLeavesNothing_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<qint64>("budget"); // bytes before the disk is full (for a write)
        QTest::addColumn<QString>("pathPart");
        QTest::addColumn<bool>("sameDay");
        const int write = static_cast<int>(files::Call::Write);
        const int sync = static_cast<int>(files::Call::Sync);
        const int rename = static_cast<int>(files::Call::Rename);
        QTest::newRow("first byte") << write << qint64(0) << QString() << false;
        QTest::newRow("inside the main file") << write << qint64(1678 + 5) << QString() << false;
        QTest::newRow("in a later folder")
            << write << qint64(1678 * 2 + 4 + 100) << QString() << false;
        QTest::newRow("same day: first byte") << write << qint64(0) << QString() << true;
        QTest::newRow("same day: in a later folder")
            << write << qint64(1678 * 2 + 4 + 100) << QString() << true;
        QTest::newRow("flushing the copy") << sync << qint64(0) << "KOPIE" << false;
        QTest::newRow("renaming the finished copy") << rename << qint64(0) << ".tmp." << true;
    }
    void failedCopyLeavesNothing() {
        QFETCH(int, call);
        QFETCH(qint64, budget);
        QFETCH(QString, pathPart);
        QFETCH(bool, sameDay);
        DataFolder folder;
        folder.writeEntries(
            {test::entry("1", "Alfa"), test::entry("2", "Beta"), test::entry("3", "Gamma")});
        folder.writeBytes("ADMINI/id_ks.dat", QByteArray(4, '\4'));
        folder.writeBytes("OPISY/opis_ks_1.dat", QByteArray(500, 'o'));
        Workstation ws = stationOn(folder);
        const QString earlier = sameDay ? QStringLiteral("2007-03-05_0800") : "2007-03-04_0800";
        backup::makeBackup(ws, earlier.left(10), QTime(8, 0));
        const QStringList before = filesBelow(folder.file("KOPIE"));
        const QByteArray mainBefore = folder.readBytes("KOPIE/" + earlier + "/DANE/spis_ks.dat");
        folder.writeEntries({test::entry("1", "Alfa"), test::entry("2", "Beta")});

        files::FaultInjector faults;
        const int error = call == static_cast<int>(files::Call::Write) ? ENOSPC : EIO;
        if (call == static_cast<int>(files::Call::Write))
            faults.failWritesAfter(budget, ENOSPC);
        else
            faults.failCall(static_cast<files::Call>(call), 1, EIO, pathPart);
        ws.faults = &faults;
        try {
            backup::makeBackup(ws, today, at);
            QFAIL("the copy did not fail");
        } catch (const IoError& e) {
            QCOMPARE(e.errorNumber(), error);
            QVERIFY2(e.text().contains(QString::fromLocal8Bit(std::strerror(error))),
                     qPrintable(e.text()));
            QVERIFY2(e.path().contains("KOPIE/2007-03-05"), qPrintable(e.path()));
        }
        QCOMPARE(namesIn(folder.file("KOPIE")), QStringList{earlier});
        QCOMPARE(filesBelow(folder.file("KOPIE")), before);
        QCOMPARE(folder.readBytes("KOPIE/" + earlier + "/DANE/spis_ks.dat"), mainBefore);
    }

    // A later copy of the day, even of the same minute, leaves the morning's copy as it was.
    void laterCopyKeepsTheMorningsCopy() {
        DataFolder folder;
        folder.writeEntries({test::entry("1", "Alfa")});
        folder.writeBytes("OPISY/opis_ks_1.dat", "pierwszy");
        const Workstation ws = stationOn(folder);
        backup::makeBackup(ws, today, at);
        folder.writeEntries({test::entry("1", "Alfa"), test::entry("2", "Beta")});
        QVERIFY(QFile::remove(folder.file("OPISY/opis_ks_1.dat")));
        folder.writeBytes("OPISY/opis_ks_2.dat", "drugi");

        const backup::Result result = backup::makeBackup(ws, today, QTime(9, 5, 59));
        QCOMPARE(result.folder, folder.file("KOPIE/" + made + "_2"));
        QCOMPARE(folder.readEntries("KOPIE/" + made + "/DANE/spis_ks.dat").size(), size_t(1));
        QCOMPARE(namesIn(folder.file("KOPIE/" + made + "/OPISY")), QStringList{"opis_ks_1.dat"});
        QCOMPARE(folder.readEntries("KOPIE/" + made + "_2/DANE/spis_ks.dat").size(), size_t(2));
        QCOMPARE(namesIn(result.folder + "/OPISY"), QStringList{"opis_ks_2.dat"});
        QCOMPARE(backup::listCopies(ws), (QStringList{made + "_2", made}));
        QVERIFY(result.removed.isEmpty());
    }

    void dailyCopyOnlyWhenDue() {
        DataFolder folder;
        folder.writeEntries({test::entry("1", "Alfa")});
        const Workstation ws = stationOn(folder);
        QVERIFY(backup::isDue(ws, today));
        QVERIFY(backup::makeBackupIfDue(ws, today, at).has_value());
        QVERIFY(!backup::isDue(ws, today));
        // A later start on the same day leaves the copy as it is.
        folder.writeEntries({test::entry("1", "Alfa"), test::entry("2", "Beta")});
        QVERIFY(!backup::makeBackupIfDue(ws, today, QTime(15, 0)).has_value());
        QCOMPARE(folder.readEntries("KOPIE/" + made + "/DANE/spis_ks.dat").size(), size_t(1));
        // The next day is due again; KOPIE in another letter case is the same folder.
        QVERIFY(QDir(folder.path()).rename("KOPIE", "Kopie"));
        QVERIFY(!backup::isDue(ws, today));
        QVERIFY(backup::isDue(ws, "2007-03-06"));
        const std::optional<backup::Result> next =
            backup::makeBackupIfDue(ws, "2007-03-06", QTime(7, 30));
        QVERIFY(next.has_value());
        QCOMPARE(next->folder, folder.file("Kopie/2007-03-06_0730"));
        QCOMPARE(namesIn(folder.file("Kopie")), (QStringList{made, "2007-03-06_0730"}));
        // A copy named by the day alone, by an earlier version, counts for its day.
        makeFolder(folder, "Kopie/2007-03-07");
        QVERIFY(!backup::isDue(ws, "2007-03-07"));
    }

    // Two workstations starting together: the second waits for the backups' lock, then finds
    // the day's copy made and makes none.
    void dueIsCheckedAgainUnderTheLock() {
        DataFolder folder;
        folder.writeEntries({test::entry("1", "Alfa")});
        makeFolder(folder, "KOPIE");
        Workstation ws = stationOn(folder);
        test::WaitProbe probe;
        ws.lockWait = &probe;
        std::atomic<bool> finished = false;
        std::optional<backup::Result> result;
        std::thread second;
        {
            const FileLock first(folder.file("KOPIE/kopia.lck"));
            second = std::thread([&] {
                try {
                    result = backup::makeBackupIfDue(ws, today, at);
                } catch (const IoError&) {
                }
                finished = true;
            });
            QVERIFY(probe.waitUntilWaiting()); // the second waits for the lock
            QVERIFY(!finished);
            makeFolder(folder, "KOPIE/2007-03-05_0904"); // the first one's copy
        }
        second.join();
        QVERIFY(!result.has_value());
    }

    // The main file's lock is held while DANE and the counters are copied, and not while the
    // other folders are: a large DOKUMENTY keeps nobody from saving.
    void mainFileLockOnlyForTheRegister() {
        DataFolder folder;
        folder.writeEntries({test::entry("1", "Alfa")});
        folder.writeBytes("ADMINI/id_ks.dat", QByteArray("\2\0\0\0", 4));
        makeFolder(folder, "DOKUMENTY");
        folder.writeBytes("DOKUMENTY/nrkp.dat", QByteArray(15, '\1'));
        folder.writeBytes("DOKUMENTY/umowa.odt", QByteArray(1000, 'u'));
        folder.writeBytes("OPISY/opis_ks_1.dat", "opis");
        Workstation ws = stationOn(folder);
        files::FaultInjector faults;
        ws.faults = &faults;
        // Whether another workstation could take the main file's lock at once, by file read.
        QMap<QString, bool> free;
        faults.setObserver([&](files::Call call, const QString& path) {
            if (call != files::Call::Open || path.contains(QLatin1String("KOPIE")) ||
                path.endsWith(QLatin1String(".lck")))
                return;
            DeadlineWait none(std::chrono::milliseconds(0));
            try {
                const FileLock other(lockPathFor(ws.mainFile()), &none);
                free[QFileInfo(path).fileName()] = true;
            } catch (const LockNotGranted&) {
                free[QFileInfo(path).fileName()] = false;
            }
        });
        backup::makeBackup(ws, today, at);
        faults.setObserver({});
        QCOMPARE(free.value("spis_ks.dat", true), false);
        QCOMPARE(free.value("id_ks.dat", true), false);
        QCOMPARE(free.value("nrkp.dat", true), false);
        QCOMPARE(free.value("umowa.odt", false), true);
        QCOMPARE(free.value("opis_ks_1.dat", false), true);
        QCOMPARE(folder.readBytes("KOPIE/" + made + "/DOKUMENTY/nrkp.dat"), QByteArray(15, '\1'));
        QCOMPARE(folder.readBytes("KOPIE/" + made + "/ADMINI/id_ks.dat"),
                 QByteArray("\2\0\0\0", 4));
        QCOMPARE(filesBelow(folder.file("KOPIE/" + made + "/DOKUMENTY")),
                 (QStringList{"nrkp.dat", "umowa.odt"}));
    }

    // What a killed copy left is cleared: the unfinished copy goes, and a day's copy that was
    // moved aside to be replaced gets its name back.
    void leftoversOfAKilledCopy() {
        DataFolder folder;
        folder.writeEntries({test::entry("1", "Alfa")});
        makeFolder(folder, "KOPIE/2007-03-05.tmp.99999/DANE");
        folder.writeBytes("KOPIE/2007-03-05.tmp.99999/DANE/spis_ks.dat", "pol");
        makeFolder(folder, "KOPIE/2007-03-04.old.99999/DANE");
        folder.writeBytes("KOPIE/2007-03-04.old.99999/DANE/spis_ks.dat", "wczoraj");
        makeFolder(folder, "KOPIE/2007-03-03");
        makeFolder(folder, "KOPIE/2007-03-03.old.99999");
        makeFolder(folder, "KOPIE/2007-03-02_1000.tmp.99999");
        makeFolder(folder, "KOPIE/notatki.tmp.99999"); // not a copy's name: never touched
        backup::makeBackup(stationOn(folder), today, at);
        QCOMPARE(namesIn(folder.file("KOPIE")),
                 (QStringList{"2007-03-03", "2007-03-04", made, "notatki.tmp.99999"}));
        QCOMPARE(folder.readBytes("KOPIE/2007-03-04/DANE/spis_ks.dat"), QByteArray("wczoraj"));
    }

    void badDateRefused() {
        DataFolder folder;
        for (const QString& date : {QString("../2007-03-05"), QString("2007-02-30"), QString()})
            QVERIFY_THROWS_EXCEPTION(IoError, backup::makeBackup(stationOn(folder), date, at));
        QVERIFY(!QFileInfo::exists(folder.file("KOPIE")));
    }

    // Another process saves entries the whole time; every copy's main file is a whole number of
    // records, each of them whole.
    void copyWhileAnotherProcessSaves() {
        DataFolder folder;
        std::vector<EntryRecord> start;
        for (int id = 1; id <= 5; ++id)
            start.push_back(test::saverRecord(id, 0));
        folder.writeEntries(start);
        folder.writeBytes("ADMINI/id_ks.dat", QByteArray("\6\0\0\0", 4));
        const QString saver = qEnvironmentVariable("SAVER");
        QVERIFY(!saver.isEmpty());
        QProcess process;
        process.start(saver, {folder.path(), "1000000"});
        QVERIFY(process.waitForReadyRead(30000));
        QCOMPARE(process.readLine().trimmed(), QByteArray("ready"));
        const Workstation ws = stationOn(folder);
        QSet<QByteArray> copies;
        for (int round = 1; round <= 12; ++round) {
            QTest::qWait(15);
            QCOMPARE(process.state(), QProcess::Running);
            const QString date = QStringLiteral("2007-03-%1").arg(round, 2, 10, QLatin1Char('0'));
            const backup::Result result = backup::makeBackup(ws, date, at);
            const QByteArray main = folder.readBytes(
                "KOPIE/" + QFileInfo(result.folder).fileName() + "/DANE/spis_ks.dat");
            QCOMPARE(main.size() % EntryRecord::Size, 0);
            QVERIFY(main.size() >= 5 * EntryRecord::Size);
            for (qsizetype at = 0; at < main.size(); at += EntryRecord::Size) {
                const EntryRecord r = EntryRecord::fromBytes(main.constData() + at);
                QVERIFY2(test::isWholeSaverRecord(r),
                         qPrintable(QStringLiteral("record %1 of the copy of %2 is torn")
                                        .arg(at / EntryRecord::Size + 1)
                                        .arg(date)));
            }
            copies.insert(main);
        }
        process.kill();
        process.waitForFinished(30000);
        QVERIFY2(copies.size() > 1, "the saver changed nothing while the copies were made");
    }
};

KESTRANA_TEST(BackupTest)
#include "BackupTest.moc"
