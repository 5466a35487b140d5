#include "register/Startup.h"
#include "platform/CheckedFile.h"
#include "station/DataDirectories.h"
#include "station/ServerMode.h"
#include "station/SmallRecords.h"
#include "station/StorageLocation.h"
#include "station/UserLevel.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void bossToken_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("boss");
        const QString prog = QStringLiteral("kestrana");
        QTest::newRow("10 characters with the marker")
            << QStringList{prog, "x", "123456789k"} << true;
        QTest::newRow("marker in upper case") << QStringList{prog, "x", "123456789K"} << false;
        QTest::newRow("9 characters") << QStringList{prog, "x", "12345678k"} << false;
        QTest::newRow("11 characters") << QStringList{prog, "x", "1234567890k"} << false;
        QTest::newRow("other last letter") << QStringList{prog, "x", "123456789x"} << false;
        QTest::newRow("as argument 1") << QStringList{prog, "123456789k"} << false;
        QTest::newRow("missing") << QStringList{prog} << false;
    }
    void bossToken() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, boss);
        QCOMPARE(startup::bossLevel(arguments), boss);
    }

    void firstStartCreatesTheFiles() {
        DataFolder folder;
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, "2007-03-05");
        QCOMPARE(ws.tryb, 1);
        QCOMPARE(ws.baseDir, folder.path());
        const StorageRecord siec = StorageRecord::fromBytes(folder.readBytes("ADMINI/siec.dat"));
        QCOMPARE(folder.readBytes("ADMINI/siec.dat").size(), 403);
        QCOMPARE(siec.tryb, 1);
        QCOMPARE(siec.sciezkaLokalna, folder.path().left(200));
        QCOMPARE(siec.sciezkaSieciowa, QString());
        QCOMPARE(folder.readBytes("ADMINI/firma.dat"), QByteArray(306, '\0'));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(2));
        QCOMPARE(folder.readBytes("ADMINI/kategorie_ks.dat").size(), 640);
        const auto entries = folder.readEntries();
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0], firstEntryRecord());
        QCOMPARE(startup::captionForMode(ws.tryb), QStringLiteral("Kestrana - bazy lokalne"));
        // A second start changes nothing.
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        startup::prepareWorkstation(folder.path(), false, "2007-03-05");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
    }

    void storageModes_data() {
        QTest::addColumn<int>("tryb");
        QTest::addColumn<bool>("shared");
        QTest::addColumn<QString>("caption");
        QTest::newRow("local") << 1 << false << QStringLiteral("Kestrana - bazy lokalne");
        QTest::newRow("network") << 2 << true << QStringLiteral("Kestrana - bazy sieciowe");
        QTest::newRow("mode 7 uses the working directory") << 7 << false << QString();
    }
    void storageModes() {
        QFETCH(int, tryb);
        QFETCH(bool, shared);
        QFETCH(QString, caption);
        DataFolder workstation;
        DataFolder share;
        StorageRecord siec;
        siec.tryb = tryb;
        siec.sciezkaLokalna = workstation.path();
        siec.sciezkaSieciowa = share.path();
        workstation.writeBytes("ADMINI/siec.dat", siec.toBytes());
        // A shared folder carries a siec.dat of its own (kestrana-cli init makes one): that is
        // how a workstation sees that it can reach the folder.
        share.writeBytes("ADMINI/siec.dat", StorageRecord().toBytes());
        const Workstation ws = startup::prepareWorkstation(workstation.path(), false, "2026-12-07");
        QCOMPARE(ws.baseDir, shared ? share.path() : workstation.path());
        QCOMPARE(startup::captionForMode(ws.tryb), caption);
        QCOMPARE(QFile::exists(share.file("DANE/spis_ks.dat")), shared);
        QCOMPARE(QFile::exists(workstation.file("DANE/spis_ks.dat")), !shared);
    }

    void missingDirectoriesAreNamed() {
        DataFolder folder;
        QVERIFY(QDir(folder.file("DANE")).removeRecursively());
        QCOMPARE(startup::missingDataDirectories(folder.path()), QStringList{"DANE"});
        try {
            startup::prepareWorkstation(folder.path(), false, "2026-12-07");
            QFAIL("no error");
        } catch (const IoError& e) {
            QVERIFY(e.text().contains(QStringLiteral("DANE")));
        }
        startup::createDataDirectories(folder.path(), {"DANE"});
        QVERIFY(startup::missingDataDirectories(folder.path()).isEmpty());
    }

    void createdPicturesDirectoryHoldsThePictures() {
        DataFolder folder(false);
        startup::createDataDirectories(folder.path(), startup::dataDirectoryNames());
        for (const char* name : {"OBRAZKI/ks0.ico", "OBRAZKI/ks1.ico"})
            QVERIFY(folder.readBytes(QLatin1String(name)).size() > 100);
    }
    void firstStartReportsWhatItCreated() {
        DataFolder folder;
        test::ScriptedPrompts prompts;
        const startup::Report report =
            startup::start({folder.path(), true, QStringLiteral("2007-03-05")}, prompts);
        QVERIFY(report.ready());
        QVERIFY(report.located);
        QCOMPARE(report.ws.tryb, 1);
        QCOMPARE(report.ws.baseDir, folder.path());
        QVERIFY(report.ws.boss);
        QCOMPARE(report.ws.today, QStringLiteral("2007-03-05"));
        QCOMPARE(
            report.createdFiles,
            QStringList({folder.file("ADMINI/siec.dat"), folder.file("ADMINI/firma.dat"),
                         folder.file("ADMINI/id_ks.dat"), folder.file("ADMINI/kategorie_ks.dat"),
                         folder.file("DANE/spis_ks.dat")}));
        QVERIFY(report.missingDirectories.isEmpty());
        QCOMPARE(report.names.categories[0], QStringLiteral("nieznana"));
        // The second start finds everything.
        const startup::Report again =
            startup::start({folder.path(), false, QStringLiteral("2007-03-05")}, prompts);
        QVERIFY(again.ready());
        QVERIFY(again.createdFiles.isEmpty());
    }

    void missingDirectoriesAreOffered_data() {
        QTest::addColumn<bool>("create");
        QTest::newRow("declined") << false;
        QTest::newRow("created") << true;
    }
    void missingDirectoriesAreOffered() {
        QFETCH(bool, create);
        DataFolder folder;
        QVERIFY(QDir(folder.file("OPISY")).removeRecursively());
        QVERIFY(QDir(folder.file("KOSZ")).removeRecursively());
        const QString where = QDir::toNativeSeparators(folder.path());
        test::ScriptedPrompts prompts;
        prompts.expectQuestion(
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: KOSZ, OPISY.\nUtworzyć je ?")
                .arg(where),
            create);
        if (!create)
            prompts.expectInformation(
                QStringLiteral("Program nie może pracować bez katalogów danych (KOSZ, OPISY) w "
                               "folderze %1.\nUtwórz je albo wskaż inny folder danych w pliku "
                               "Admini/siec.dat.")
                    .arg(where));
        const startup::Report report = startup::start({folder.path(), false, {}}, prompts);
        QCOMPARE(report.ready(), create);
        QCOMPARE(report.missingDirectories,
                 QStringList({folder.file("KOSZ"), folder.file("OPISY")}));
        QCOMPARE(report.createdDirectories, create ? report.missingDirectories : QStringList());
        QCOMPARE(QFileInfo(folder.file("OPISY")).isDir(), create);
        // Nothing of the register is made while its folders are missing.
        QCOMPARE(QFile::exists(folder.file("DANE/spis_ks.dat")), create);
    }

    // The folders of single functions are offered with the others; declined, the start goes on
    // and says what will not work. In network mode FONT, which lies on the workstation, is
    // offered on its own.
    void functionDirectoriesAreOffered_data() {
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("network");
        QTest::newRow("declined") << false << false;
        QTest::newRow("created") << true << false;
        QTest::newRow("network: declined") << false << true;
        QTest::newRow("network: created") << true << true;
    }
    void functionDirectoriesAreOffered() {
        QFETCH(bool, create);
        QFETCH(bool, network);
        DataFolder station;
        DataFolder share;
        const DataFolder& data = network ? share : station;
        for (const char* name : {"DOKUMENTY", "POMOC", "Koperty"})
            QVERIFY(QDir(data.file(QLatin1String(name))).removeRecursively());
        QVERIFY(QDir(station.file("FONT")).removeRecursively());
        if (network) {
            StorageRecord siec;
            siec.tryb = 2;
            siec.sciezkaSieciowa = share.path();
            station.writeBytes("ADMINI/siec.dat", siec.toBytes());
            share.writeBytes("ADMINI/siec.dat", StorageRecord().toBytes());
        }
        const QString where = QDir::toNativeSeparators(data.path());
        const QString here = QDir::toNativeSeparators(station.path());
        test::ScriptedPrompts prompts;
        const QString list =
            network ? "DOKUMENTY, POMOC, Koperty" : "DOKUMENTY, POMOC, Koperty, FONT";
        prompts.expectQuestion(
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: %2.\nUtworzyć je ?")
                .arg(where, list),
            create);
        if (!create)
            prompts.expectInformation(
                QStringLiteral("Bez katalogów %1 w folderze %2 nie zadziałają: dowody KP/KW, "
                               "pomoc, profile kopert%3.")
                    .arg(list, where, network ? "" : ", czcionki wydruku i listy"));
        if (network) {
            prompts.expectQuestion(
                QStringLiteral("W folderze danych %1\nbrakuje katalogów: FONT.\nUtworzyć je ?")
                    .arg(here),
                create);
            if (!create)
                prompts.expectInformation(
                    QStringLiteral("Bez katalogów FONT w folderze %1 nie zadziałają: czcionki "
                                   "wydruku i listy.")
                        .arg(here));
        }
        const startup::Report report = startup::start({station.path(), false, {}}, prompts);
        QVERIFY(prompts.done());
        QVERIFY(report.ready());
        QCOMPARE(report.missingDirectories.size(), 4);
        QCOMPARE(report.createdDirectories, create ? report.missingDirectories : QStringList());
        for (const char* name : {"DOKUMENTY", "POMOC", "Koperty"})
            QCOMPARE(QFileInfo(data.file(QLatin1String(name))).isDir(), create);
        QCOMPARE(QFileInfo(station.file("FONT")).isDir(), create);
        // A new POMOC holds the help text, in the data files' code page.
        const QByteArray help = data.readBytes("POMOC/bazaadresowa.dat");
        QCOMPARE(help.isEmpty(), !create);
        if (create)
            QVERIFY(help.endsWith("\r\n") && !help.contains("\n\n"));
    }

    void unreachableShareEndsTheProgram_data() {
        QTest::addColumn<bool>("switchToLocal");
        QTest::newRow("stays in network mode") << false;
        QTest::newRow("back to local mode") << true;
    }
    void unreachableShareEndsTheProgram() {
        QFETCH(bool, switchToLocal);
        DataFolder station;
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaLokalna = station.path();
        siec.sciezkaSieciowa = station.path() + QStringLiteral("/offline");
        station.writeBytes("ADMINI/siec.dat", siec.toBytes());
        test::ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Informacja"), startup::networkQuestion(),
                               switchToLocal);
        if (switchToLocal)
            prompts.expectInformation(QStringLiteral("Uruchom ponownie program"));
        const startup::Report report = startup::start({station.path(), false, {}}, prompts);
        QCOMPARE(report.outcome, startup::Report::Outcome::EndProgram);
        QCOMPARE(StorageRecord::fromBytes(station.readBytes("ADMINI/siec.dat")).tryb,
                 switchToLocal ? 1 : 2);
        QVERIFY(!QFile::exists(station.file("DANE/spis_ks.dat")));
    }

    // In server mode a start-up that has no way to the server must not take the local folder for
    // the register: it says so and stops before it creates or asks anything.
    void serverModeWithoutAServerStopsBeforeAnyFile() {
        QTemporaryDir station;
        QVERIFY(QDir(station.path()).mkpath("Admini"));
        startup::writeServerChoice(station.path(), QStringLiteral("host=serwer dbname=kestrana"));
        test::ScriptedPrompts prompts;
        prompts.expectInformation(startup::serverModeText());
        const startup::Report report = startup::start({station.path(), false, {}}, prompts);
        QCOMPARE(report.outcome, startup::Report::Outcome::Stopped);
        QVERIFY(report.serverMode);
        QVERIFY(!report.ready());
        QCOMPARE(QDir(station.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"Admini"});
        QCOMPARE(QDir(station.filePath("Admini")).entryList(QDir::Files),
                 QStringList{"serwer.dat"});
        QVERIFY_THROWS_EXCEPTION(IoError, startup::prepareWorkstation(station.path(), false, {}));
    }

    void fileErrorStopsAndIsShown() {
        DataFolder folder;
        // A directory where the company data belong cannot be read as them.
        QVERIFY(QDir(folder.path()).mkpath("ADMINI/firma.dat"));
        test::ScriptedPrompts prompts;
        prompts.expectError(QStringLiteral("firma.dat"));
        const startup::Report report = startup::start({folder.path(), false, {}}, prompts);
        QCOMPARE(report.outcome, startup::Report::Outcome::Stopped);
        QVERIFY(report.failure.has_value());
        // The steps before it stay done, those after it are not taken.
        QVERIFY(QFile::exists(folder.file("ADMINI/siec.dat")));
        QVERIFY(!QFile::exists(folder.file("ADMINI/id_ks.dat")));
    }

    void everyWindowRereadsTheLocation() {
        DataFolder station;
        DataFolder share;
        share.writeBytes("ADMINI/siec.dat", StorageRecord().toBytes());
        const Workstation ws = startup::prepareWorkstation(station.path(), true, "2026-12-07");
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaSieciowa = share.path();
        station.writeBytes("ADMINI/siec.dat", siec.toBytes());
        const Workstation moved = startup::locatedAgain(ws);
        QCOMPARE(moved.tryb, 2);
        QCOMPARE(moved.baseDir, share.path());
        QVERIFY(moved.boss);
        QCOMPARE(moved.today, QStringLiteral("2026-12-07"));
    }
};

KESTRANA_TEST(StartupTest)
#include "StartupTest.moc"
