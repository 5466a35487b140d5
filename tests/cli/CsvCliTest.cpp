#include "exchange/CsvText.h"
#include "register/ListLine.h"
#include "support/CliRun.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

namespace {

using Run = test::CliRun;

// The output without the blanks and line end around it.
Run cli(const QString& dir, const QStringList& arguments) {
    Run run = test::runCli(dir, arguments);
    run.out = run.out.trimmed();
    return run;
}

// The ID cells of a CSV file's data rows.
QStringList csvIds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("unreadable")};
    QStringList ids;
    const csv::Parsed parsed = csv::parse(csv::decodeFile(file.readAll()));
    for (qsizetype i = 1; i < parsed.rows.size(); ++i)
        ids << parsed.rows[i].fields.value(0);
    return ids;
}

} // namespace

class CsvCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("KESTRANA_CLI").isEmpty()); }

    void exportWithAFilterAndImportBack() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run all = cli(dir.path(), {"export", "--csv", "wszystkie.csv"});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(
            all.out,
            QStringLiteral("Zapisano 40 wpisów do pliku %1.").arg(dir.filePath("wszystkie.csv")));
        QCOMPARE(csvIds(dir.filePath("wszystkie.csv")).size(), 40);

        // The demo's IDs are its record numbers: the filtered file follows the filtered list.
        const Run list = cli(dir.path(), {"list", "--umowa", "terminated"});
        QStringList listed;
        for (const QString& line : list.out.split(QLatin1Char('\n')))
            listed << QString::number(recordNumberOfLine(line));
        QCOMPARE(listed.size(), 5);
        QCOMPARE(cli(dir.path(), {"export", "--umowa", "terminated", "--csv", "rozw.csv"}).exitCode,
                 0);
        QCOMPARE(csvIds(dir.filePath("rozw.csv")), listed);

        // The rows repeat their entries; the import says so, asks nothing and adds them all.
        const Run imported = cli(dir.path(), {"import", "--csv", "rozw.csv"});
        QCOMPARE(imported.exitCode, 0);
        const QStringList out = imported.out.split(QLatin1Char('\n'));
        QCOMPARE(out.mid(0, 6),
                 QStringList({QStringLiteral("Plik: %1 (kodowanie UTF-8, separator: średnik).")
                                  .arg(dir.filePath("rozw.csv")),
                              "Wiersze do dodania: 5.", "Wiersze odrzucone: 0.",
                              "Wiersze, które wyglądają na uszkodzone przez arkusz: 0.",
                              "Wiersze zgodne z wpisami w rejestrze (NIP albo nazwa i "
                              "miejscowość): 5, nowe: 0.",
                              ""}));
        QCOMPARE(out[6], QStringLiteral("Wiersze zgodne z wpisami w rejestrze:"));
        QCOMPARE(out.size(), 15);
        QCOMPARE(out[13], QStringLiteral("Dodano 5 wpisów (ID 41–45)."));
        QVERIFY(
            out[14].startsWith(QStringLiteral("Raport: %1/rozw-raport-importu-").arg(dir.path())));
        QVERIFY(QFile::exists(out[14].mid(8)));
        QCOMPARE(cli(dir.path(), {"list", "--umowa", "terminated"}).out.count('\n'), 9);

        // Again with --only-new: nothing is new.
        const Run again = cli(dir.path(), {"import", "--only-new", "--csv", "rozw.csv"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.out.contains(QStringLiteral("\nNie dodano żadnego wpisu.\nPominięte wiersze "
                                                  "zgodne z wpisami w rejestrze: 5.\nRaport: ")));
        QCOMPARE(QFileInfo(dir.filePath("DANE/spis_ks.dat")).size(), 45 * 1678);
    }

    void xlsxExport() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run run = cli(dir.path(), {"export", "--kat", "1", "--xlsx", "kat1.xlsx"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Zapisano ")));
        QVERIFY(run.out.endsWith(QStringLiteral(" do pliku %1.").arg(dir.filePath("kat1.xlsx"))));
        QFile file(dir.filePath("kat1.xlsx"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(4), QByteArray("PK\x03\x04"));
    }

    void failuresAndWrongArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("missing file") << QStringList{"import", "--csv", "brak.csv"} << 1;
        QTest::newRow("not a list export")
            << QStringList{"import", "--csv", "POMOC/bazaadresowa.dat"} << 1;
        QTest::newRow("unwritable target")
            << QStringList{"export", "--csv", "brak/katalog/a.csv"} << 1;
        QTest::newRow("export without a file") << QStringList{"export"} << 2;
        QTest::newRow("import with a filter")
            << QStringList{"import", "--csv", "a.csv", "--kat", "1"} << 2;
        QTest::newRow("import of an XLSX file") << QStringList{"import", "--xlsx", "a.xlsx"} << 2;
        QTest::newRow("only-new twice")
            << QStringList{"import", "--csv", "a.csv", "--only-new", "--only-new"} << 2;
        QTest::newRow("export in two formats")
            << QStringList{"export", "--csv", "a.csv", "--xlsx", "a.xlsx"} << 2;
        QTest::newRow("unwritable workbook")
            << QStringList{"export", "--xlsx", "brak/katalog/a.xlsx"} << 1;
        QTest::newRow("bad filter") << QStringList{"export", "--csv", "a.csv", "--kat", "21"} << 2;
    }
    void failuresAndWrongArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run run = cli(dir.path(), arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.errors.isEmpty());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QFileInfo(dir.filePath("DANE/spis_ks.dat")).size(), 40 * 1678);
    }
};

KESTRANA_TEST(CsvCliTest)
#include "CsvCliTest.moc"
