#include "print/DefaultPrintFont.h"
#include "register/ListLine.h"
#include "station/SmallRecords.h"
#include "support/CliRun.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

namespace {

struct Run {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

// The output as its lines.
Run cli(const QString& dir, const QStringList& arguments) {
    const test::CliRun run = test::runCli(dir, arguments);
    QString out = run.out;
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return {run.exitCode, out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n')), run.errors};
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("KESTRANA_CLI").isEmpty()); }

    void demoFolderListsItsCompanies() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run list = cli(dir.path(), {"list"});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.lines.size(), 40);
        for (int i = 0; i < list.lines.size(); ++i)
            QCOMPARE(recordNumberOfLine(list.lines[i]), i + 1);
        // Polish letters come out as UTF-8 and trailing blanks are kept.
        QVERIFY(list.lines.join(QString()).contains(QStringLiteral("ł")));
        QVERIFY(list.lines[0].size() > 151);

        const Run byCode = cli(dir.path(), {"list", "--view", "3"});
        QCOMPARE(byCode.lines.size(), 40);
        QVERIFY(byCode.lines[0].startsWith(QStringLiteral("P-001 ")));

        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 1); // never over a register
        QCOMPARE(cli(dir.path(), {"list", "--view", "6"}).exitCode, 1);

        // The help text is Windows-1250 with CR LF.
        QFile help(dir.filePath("POMOC/bazaadresowa.dat"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QByteArray bytes = help.readAll();
        QVERIFY(bytes.contains("Przewodnik po bazie adresowej."));
        QVERIFY(bytes.contains("\r\n"));
        QVERIFY(!bytes.contains("\xc5")); // no UTF-8 lead bytes of Polish letters
    }

    // A new folder prints legibly from the first start: the default print font is there.
    void initWritesTheDefaultPrintFont() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init"}).exitCode, 0);
        QFile font(dir.filePath("FONT/font_kelmo_2007.dat"));
        QVERIFY(font.open(QIODevice::ReadOnly));
        const FontRecord record = FontRecord::fromBytes(font.readAll());
        QCOMPARE(record.size, kDefaultPrintPoints);
        QCOMPARE(record.faceName, QStringLiteral("Liberation Sans"));
    }

    // Qt's notices (XDG_RUNTIME_DIR, as when run as root or from cron) stay off stderr; the
    // usage text has one command per line.
    void quietUnlessSomethingIsWrong() {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        QTemporaryDir dir;
        for (const QStringList& args : {QStringList{"init", "--demo"}, QStringList{"list"},
                                        QStringList{"words", "12.50"}, QStringList{"--version"}}) {
            const Run run = cli(dir.path(), args);
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.errors, QString());
        }
        const Run usage = cli(dir.path(), {});
        QCOMPARE(usage.exitCode, 2);
        const QStringList lines = usage.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.value(0).startsWith(QStringLiteral("Użycie:")));
        for (const QString& line : lines.mid(1))
            QVERIFY2(line.startsWith(QStringLiteral("  ")), qPrintable(line));
        if (!runtime.isNull())
            qputenv("XDG_RUNTIME_DIR", runtime);
    }

    void lackingCharacterInAFilterListsNothing() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run list = cli(dir.path(), {"list", "--nazwa1", "ж?"});
        QCOMPARE(list.exitCode, 0);
        QVERIFY(list.lines.isEmpty());
        QCOMPARE(list.errors,
                 QStringLiteral("kestrana-cli: Filtr zawiera znaki, których nie ma w polskim "
                                "kodowaniu Windows-1250, w którym rejestr zapisuje teksty: „ж” "
                                "(--nazwa1). Żaden wpis nie może ich zawierać, więc lista jest "
                                "pusta.\n"));
    }

    void generateAppendsReproducibleEntries() {
        QTemporaryDir a;
        QTemporaryDir b;
        for (const QTemporaryDir* dir : {&a, &b}) {
            QCOMPARE(cli(dir->path(), {"init"}).exitCode, 0);
            const Run generated = cli(dir->path(), {"generate", "--entries", "250", "--seed", "7"});
            QCOMPARE(generated.exitCode, 0);
            QCOMPARE(generated.lines, QStringList{QStringLiteral("Dodano 250 wpisów (ID 2–251).")});
        }
        const Run list = cli(a.path(), {"list", "--view", "2"});
        QCOMPARE(list.lines.size(), 251);
        QCOMPARE(cli(b.path(), {"list", "--view", "2"}).lines, list.lines);
        QCOMPARE(cli(a.path(), {"generate", "--entries", "1"}).lines,
                 QStringList{QStringLiteral("Dodano 1 wpis (ID 252).")});
        QCOMPARE(cli(a.path(), {"generate", "--entries", "0"}).lines,
                 QStringList{QStringLiteral("Nie dodano żadnego wpisu.")});
        QFile counter(a.filePath("ADMINI/id_ks.dat"));
        QVERIFY(counter.open(QIODevice::ReadOnly));
        QCOMPARE(int32FromBytes(counter.readAll()), 253);
    }

    void switchingToNetworkMode() {
        QTemporaryDir station;
        QTemporaryDir share;
        QCOMPARE(cli(share.path(), {"init", "--demo"}).exitCode, 0);
        QVERIFY(QDir(station.path()).mkdir("Admini"));
        QCOMPARE(cli(station.path(), {"mode", "network", share.path()}).exitCode, 0);
        QCOMPARE(cli(station.path(), {"list"}).lines.size(), 40);
        QCOMPARE(cli(station.path(), {"mode", "local"}).exitCode, 0);
        QCOMPARE(cli(station.path(), {"list"}).exitCode, 1); // no data directories here
        QCOMPARE(cli(station.path(), {"mode", "network"}).exitCode, 1);
    }

    void listWithAFilter() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run all = cli(dir.path(), {"list"});
        const Run none = cli(dir.path(), {"list", "--kod", "no such code"});
        QCOMPARE(none.exitCode, 0);
        QVERIFY(none.lines.isEmpty());
        QCOMPARE(QFileInfo(dir.filePath("DANE/sp_ks.dat")).size(), 0);
        const Run terminated = cli(dir.path(), {"list", "--umowa", "terminated"});
        QCOMPARE(terminated.lines.size(), 5);
        const Run signedOnes = cli(dir.path(), {"list", "--umowa", "signed", "--view", "3"});
        QCOMPARE(signedOnes.lines.size(), 35);
        QCOMPARE(QFileInfo(dir.filePath("DANE/sp_ks.dat")).size(), 35 * 1678);
        // Record numbers stay those of the main file.
        for (const QString& line : terminated.lines)
            QVERIFY(all.lines.contains(line));
        const Run years = cli(dir.path(), {"list", "--od", "2000-01-01", "--do", "2009-12-31"});
        QVERIFY(!years.lines.isEmpty() && years.lines.size() < 40);
        QCOMPARE(cli(dir.path(), {"list", "--kat", "21"}).exitCode, 1);
        QCOMPARE(cli(dir.path(), {"list", "--umowa", "maybe"}).exitCode, 1);
        QCOMPARE(cli(dir.path(), {"list", "--kod"}).exitCode, 1);
    }

    void checkAndUnlock() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        const Run healthy = cli(dir.path(), {"check"});
        QCOMPARE(healthy.exitCode, 0);
        QCOMPARE(healthy.lines, QStringList{QStringLiteral("Nie znaleziono uszkodzeń.")});
        QFile lock(dir.filePath("KOSZ/5.p"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(int32Bytes(1));
        lock.close();
        QCOMPARE(cli(dir.path(), {"check"}).exitCode, 0); // a lock is a notice, not damage
        QCOMPARE(cli(dir.path(), {"unlock", "5"}).exitCode, 0);
        QVERIFY(!QFile::exists(dir.filePath("KOSZ/5.p")));
        QCOMPARE(cli(dir.path(), {"unlock", "5"}).exitCode, 1);
        QCOMPARE(cli(dir.path(), {"unlock", "../DANE/spis_ks"}).exitCode, 1);
        QVERIFY(QFile::exists(dir.filePath("DANE/spis_ks.dat")));
        QFile main(dir.filePath("DANE/spis_ks.dat"));
        QVERIFY(main.open(QIODevice::Append));
        main.write("xyz");
        main.close();
        const Run damaged = cli(dir.path(), {"check"});
        QCOMPARE(damaged.exitCode, 1);
        QVERIFY(damaged.lines.join('\n').contains(QStringLiteral("niepełny rekord")));
    }

    void missingDirectoriesAreReported() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Admini"));
        const Run run = cli(dir.path(), {"list"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.errors.contains("DANE"));
        QVERIFY(run.lines.isEmpty());
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown") << QStringList{"frobnicate"};
        // init makes the current directory a data folder; a folder named after it would be
        // taken for the place of the new register.
        QTest::newRow("init with a folder") << QStringList{"init", "nowy"};
        QTest::newRow("init, unknown option") << QStringList{"init", "--demo", "--full"};
    }
    void badArguments() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), arguments).exitCode, 2);
        QVERIFY(QDir(dir.path()).isEmpty()); // nothing was made
    }

    void sortRewritesTheMainFile() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir.path(), {"init", "--demo"}).exitCode, 0);
        QCOMPARE(cli(dir.path(), {"sort", "--by", "kod"}).exitCode, 0);
        const QStringList ascending = cli(dir.path(), {"list", "--view", "3"}).lines;
        QCOMPARE(ascending.size(), 40);
        QVERIFY(ascending[0].startsWith(QStringLiteral("G-118 ")));
        QVERIFY(ascending[1].startsWith(QStringLiteral("Ł-0042 "))); // Ł after L, before P
        QVERIFY(ascending[39].startsWith(QStringLiteral("S-7 ")));
        QCOMPARE(cli(dir.path(), {"sort", "--desc", "--by", "kod"}).exitCode, 0);
        const QStringList descending = cli(dir.path(), {"list", "--view", "3"}).lines;
        QCOMPARE(descending.size(), 40);
        for (int i = 0; i < 40; ++i)
            QCOMPARE(descending[i].left(100), ascending[39 - i].left(100));

        QCOMPARE(cli(dir.path(), {"sort"}).exitCode, 2);
        QCOMPARE(cli(dir.path(), {"sort", "--by", "nazwa3"}).exitCode, 2);
        QCOMPARE(cli(dir.path(), {"sort", "--by", "data", "--up"}).exitCode, 2);
        QTemporaryDir empty;
        QVERIFY(QDir(empty.path()).mkdir("Admini"));
        const Run failed = cli(empty.path(), {"sort", "--by", "data"});
        QCOMPARE(failed.exitCode, 1);
        QVERIFY(failed.errors.contains("DANE"));
    }
};

KESTRANA_TEST(CliTest)
#include "CliTest.moc"
