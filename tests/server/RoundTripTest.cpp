#include "ServerTestSupport.h"
#include "cash/VoucherCounter.h"
#include "server/RegisterFiles.h"
#include "station/Workstation.h"
#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::CliRun;
using kestrana::test::contents;
using kestrana::test::runCli;
using kestrana::test::writeFile;

namespace {

// The files a server keeps, below a data folder, as relative paths (lock files and the list
// file are the workstations' own).
QStringList registerFiles(const QString& dir) {
    QStringList found;
    for (const char* folder : {"DANE", "ADMINI", "OPISY", "DOKUMENTY"}) {
        QDirIterator it(dir + QLatin1Char('/') + QLatin1String(folder), QDir::Files);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            if (name != "siec.dat" && name != "sp_ks.dat" && !name.endsWith(".lck"))
                found.append(QLatin1String(folder) + QLatin1Char('/') + name);
        }
    }
    found.sort();
    return found;
}

CliRun cli(const QString& dir, const QStringList& args) {
    return runCli(dir, args);
}

} // namespace

class RoundTripTest : public QObject {
    Q_OBJECT

    // Imports the register in `from` and exports it to `to`; both commands must succeed.
    void roundTrip(const QString& db, const QString& from, const QString& to, CliRun& import) {
        const CliRun init = cli(from, {"server", "init", "--server", db});
        QVERIFY2(init.exitCode == 0, qPrintable(init.errors));
        import = cli(from, {"server", "import", from, "--server", db});
        QVERIFY2(import.exitCode == 0, qPrintable(import.errors));
        const CliRun exported = cli(from, {"server", "export", to, "--server", db});
        QVERIFY2(exported.exitCode == 0, qPrintable(exported.errors));
    }

private slots:
    void serverFilesAreTheVoucherWindowsFiles() {
        Workstation ws;
        ws.baseDir = "/b";
        const std::vector<server::RecordFile> files = server::recordFiles(ws);
        QCOMPARE(ws.dataPath(files[3].subPath), counterFile(ws, DocumentKind::KP));
        QCOMPARE(ws.dataPath(files[4].subPath), counterFile(ws, DocumentKind::KW));
    }

    void demoRegisterComesBackByteForByte() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString from = dir.filePath("plikowy");
        const QString to = dir.filePath("z-serwera");
        QVERIFY(QDir().mkpath(from));
        QCOMPARE(cli(from, {"init", "--demo"}).exitCode, 0);
        CounterRecord kp;
        kp.next = 17;
        kp.suffix = "/2026";
        writeFile(from + "/DOKUMENTY/nrkp.dat", kp.toBytes());
        // Bytes the program never reads still come back as they were.
        writeFile(from + "/DOKUMENTY/nrkw.dat",
                  QByteArray("\x05\x00\x00\x00\x02/Kxyz\xb9zzzzz", 15));
        writeFile(from + "/OPISY/opis_ks_.dat", "bez ID\r\n");
        writeFile(from + "/OPISY/opis_ks_-3.dat", "\xb9\xe6\xea\r\n");

        CliRun import;
        roundTrip(db, from, to, import);
        const QStringList files = registerFiles(from);
        QVERIFY(files.contains("DANE/spis_ks.dat"));
        QVERIFY(files.contains("ADMINI/firma.dat"));
        QVERIFY(files.size() >= 14);
        QCOMPARE(registerFiles(to), files);
        for (const QString& file : files)
            QVERIFY2(contents(from + '/' + file) == contents(to + '/' + file), qPrintable(file));
        // The exported folder is a register the program opens in local mode.
        const CliRun listed = cli(to, {"list", "--view", "2"});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.out, cli(from, {"list", "--view", "2"}).out);
        QVERIFY(QFileInfo(to + "/OBRAZKI/ks0.ico").isFile());
        QVERIFY(QFileInfo(to + "/KOSZ").isDir());
    }

    void generatedRegisterComesBackByteForByte() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString from = dir.filePath("plikowy");
        const QString to = dir.filePath("z-serwera");
        QVERIFY(QDir().mkpath(from));
        QCOMPARE(cli(from, {"init"}).exitCode, 0);
        QCOMPARE(cli(from, {"generate", "--entries", "99999", "--seed", "7"}).exitCode, 0);
        CliRun import;
        roundTrip(db, from, to, import);
        QVERIFY2(import.out.startsWith("Przeniesiono na serwer: 100000 wpisów, 0 opisów firm."),
                 qPrintable(import.out));
        QCOMPARE(QFileInfo(to + "/DANE/spis_ks.dat").size(), Q_INT64_C(100000) * 1678);
        for (const QString& file : registerFiles(from))
            QVERIFY2(contents(from + '/' + file) == contents(to + '/' + file), qPrintable(file));
    }

    // What is not part of a register is named and left out; nothing else is lost.
    void leftOversAreReported() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString from = dir.filePath("plikowy");
        const QString to = dir.filePath("z-serwera");
        QVERIFY(QDir().mkpath(from));
        QCOMPARE(cli(from, {"init", "--demo"}).exitCode, 0);
        const QByteArray main = contents(from + "/DANE/spis_ks.dat");
        writeFile(from + "/DANE/spis_ks.dat", main + QByteArray(100, 'x'));
        writeFile(from + "/OPISY/notatka.txt", "x");
        writeFile(from + "/OPISY/opis_ks_12a.dat", "x");
        writeFile(from + "/OPISY/OPIS_KS_1.DAT", "inna pisownia");
        writeFile(from + "/OPISY/OPIS_KS_77.DAT", "tylko wielkie litery");
        CliRun import;
        roundTrip(db, from, to, import);
        for (const char* line :
             {"Pominięto niepełny ostatni rekord pliku głównego (100 bajtów), którego program "
              "nigdy nie czyta.",
              "Pominięto (nie jest opisem firmy): OPISY/notatka.txt",
              "Pominięto (nie jest opisem firmy): OPISY/opis_ks_12a.dat",
              "Pominięto (nie jest opisem firmy): OPISY/OPIS_KS_1.DAT"})
            QVERIFY2(import.out.contains(QString::fromUtf8(line) + QLatin1Char('\n')),
                     qPrintable(import.out));
        QCOMPARE(contents(to + "/DANE/spis_ks.dat"), main);
        QCOMPARE(contents(to + "/OPISY/opis_ks_1.dat"), contents(from + "/OPISY/opis_ks_1.dat"));
        QCOMPARE(contents(to + "/OPISY/opis_ks_77.dat"), QByteArray("tylko wielkie litery"));
    }

    // Absent files stay absent: start-up makes them with their defaults in either mode.
    void missingFilesStayMissing() {
        KESTRANA_NEW_DATABASE(db);
        QTemporaryDir dir;
        const QString from = dir.filePath("plikowy");
        const QString to = dir.filePath("z-serwera");
        QVERIFY(QDir().mkpath(from));
        QCOMPARE(cli(from, {"init"}).exitCode, 0);
        QCOMPARE(cli(from, {"list"}).exitCode, 0);
        QVERIFY(QFile::remove(from + "/ADMINI/firma.dat"));
        CliRun import;
        roundTrip(db, from, to, import);
        QCOMPARE(registerFiles(to), registerFiles(from));
        QVERIFY(!QFileInfo::exists(to + "/ADMINI/firma.dat"));
    }
};

KESTRANA_TEST(RoundTripTest)
#include "RoundTripTest.moc"
