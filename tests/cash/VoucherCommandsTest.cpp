// The voucher commands of kestrana-cli, run in this process.
#include "cli/VoucherCommands.h"

#include "cash/Voucher.h"
#include "cash/VoucherDocument.h"
#include "platform/Clock.h"
#include "register/EntryRecord.h"
#include "register/Startup.h"

#include "cash/VoucherCounter.h"
#include "cash/WordingSetting.h"
#include "register/DataFolderSetup.h"
#include "station/Workstation.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run words(const QStringList& args) {
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = runWordsCommand(args, out, err);
    return run;
}

const FixedClock kClock{QDate(2007, 3, 5), QTime(9, 0)};

Run print(const QString& dir, const QStringList& args) {
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = runVoucherPrintCommand(args, dir, out, err, kClock);
    return run;
}

QStringList lines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A demo data folder and the first entry's ID and name.
struct Demo {
    QTemporaryDir dir;
    QString id;
    QString name;
    Demo() {
        installDataFolder(dir.path(), true, QStringLiteral("2007-03-05"));
        QFile main(dir.filePath(QStringLiteral("DANE/spis_ks.dat")));
        if (!main.open(QIODevice::ReadOnly))
            qFatal("no main file");
        const EntryRecord first = EntryRecord::fromBytes(main.read(EntryRecord::Size));
        id = first.text(Field::id);
        name = first.text(Field::nazwa1);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

class VoucherCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void wordsLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::newRow("12.50") << QStringList{"words", "12.50"} << 0
                               << "Słownie :dwanaście złotych pięćdziesiąt  groszy\n";
        QTest::newRow("without the command word")
            << QStringList{"1000"} << 0 << "Słownie :tysiąc złotych \n";
        QTest::newRow("a voucher has whole grosze")
            << QStringList{"words", "0.005"} << 0 << "Słownie : jeden grosz\n";
        QTest::newRow("negative") << QStringList{"words", "-5"} << 0 << "Słownie : \n";
        QTest::newRow("largest") << QStringList{"words", "2147483647.99"} << 0
                                 << "Słownie :dwa miliardów sto czterdzieści siedem milionów "
                                    "czterysta osiemdziesiąt trzy tysięcy sześćset czterdzieści "
                                    "siedem złotych dziewięćdziesiąt dziewięć groszy\n";
        QTest::newRow("too large") << QStringList{"words", "2147483648"} << 1 << "";
        QTest::newRow("comma") << QStringList{"words", "1,5"} << 2 << "";
        QTest::newRow("exponent") << QStringList{"words", "1e3"} << 2 << "";
        QTest::newRow("letters") << QStringList{"words", "abc"} << 2 << "";
        QTest::newRow("none") << QStringList{"words"} << 2 << "";
        QTest::newRow("two") << QStringList{"words", "1", "2"} << 2 << "";
        QTest::newRow("full") << QStringList{"words", "--full", "2000"} << 0
                              << "Słownie: dwa tysiące złotych\n";
        QTest::newRow("full after the amount") << QStringList{"words", "22.22", "--full"} << 0
                                               << "Słownie: dwadzieścia dwa złote dwadzieścia "
                                                  "dwa grosze\n";
        QTest::newRow("full of grosze alone") << QStringList{"words", "--full", "0.005"} << 0
                                              << "Słownie: zero złotych jeden grosz\n";
        QTest::newRow("full too large") << QStringList{"words", "--full", "2147483648"} << 1 << "";
        QTest::newRow("full without an amount") << QStringList{"words", "--full"} << 2 << "";
    }

    void wordsLine() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        const Run run = words(args);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err.isEmpty(), exitCode == 0);
    }

    void printsAndCountsLikeTheWindow() {
        Demo demo;
        VoucherGrid grid;
        grid.tytulem[0] = QStringLiteral("Czynsz");
        grid.kwota[0] = QStringLiteral("100,5"); // read up to the comma, as the window does
        grid.kwota[2] = QStringLiteral("  23.45");
        kpw::write(demo.path(QStringLiteral("czynsz.kpw")), grid);

        const Run first =
            print(demo.dir.path(), {"print", "voucher", "--kind", "kp", "--id", demo.id, "--kpw",
                                    "czynsz.kpw", "--trace", "kp.trace", "--dpi", "300"});
        QCOMPARE(first.err, QString());
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.out, QStringLiteral("Dowód wpłaty KP nr 1/\n"));
        const QStringList trace = lines(demo.path(QStringLiteral("kp.trace")));
        QCOMPARE(trace.first(), QStringLiteral("begin\tportrait\t300\t300"));
        QCOMPARE(trace.last(), QStringLiteral("end"));
        // Company block from the entry, issuer from firma.dat, total from the grid.
        const Workstation ws = startup::prepareWorkstation(demo.dir.path(), false, {});
        const auto textAt = [&](int x, int y) {
            const QString prefix = QStringLiteral("text\t%1\t%2\t").arg(x * 12).arg(y * 12);
            for (const QString& line : trace) {
                if (line.startsWith(prefix))
                    return line.section(QLatin1Char('\t'), 7);
            }
            return QString();
        };
        QCOMPARE(textAt(102, 17), demo.name);
        QCOMPARE(textAt(12, 17), ws.firma.lines[0]);
        QCOMPARE(textAt(152, 96), QStringLiteral("  123.45"));
        QCOMPARE(textAt(155, 146), voucherDateText(QDate(2007, 3, 5)));
        QVERIFY(!trace.join(QLatin1Char('\n')).contains(QStringLiteral("#ff0000")));
        // A trace is not paper: it shows the first number and neither takes nor stores one.
        QVERIFY(!QFile::exists(ws.dataPath(QStringLiteral("DOKUMENTY/nrkp.dat"))));

        const Run pdf = print(demo.dir.path(), {"print", "voucher", "--kind", "kp", "--id", demo.id,
                                                "--pdf", "kp.pdf"});
        QCOMPARE(pdf.exitCode, 0);
        QCOMPARE(pdf.out, QStringLiteral("Dowód wpłaty KP nr 1/\n"));
        QFile file(demo.path(QStringLiteral("kp.pdf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        QCOMPARE(readCounter(ws, DocumentKind::KP), CounterRecord({2, QString()}));

        // The next trace shows the number the next paper will bear, and leaves it there.
        saveCounterParameters(ws, DocumentKind::KP, QStringLiteral("2"), QStringLiteral("2026"));
        for (const char* name : {"kp2.trace", "kp3.trace"}) {
            const Run again = print(demo.dir.path(), {"print", "voucher", "--colour", "--kind",
                                                      "KP", "--id", demo.id, "--trace", name});
            QCOMPARE(again.exitCode, 0);
            QCOMPARE(again.out, QStringLiteral("Dowód wpłaty KP nr 2/2026\n"));
            QVERIFY(lines(demo.path(QString::fromLatin1(name)))
                        .contains(QStringLiteral("rect\t240\t72\t4320\t96\t#ff0000")));
        }
        QCOMPARE(readCounter(ws, DocumentKind::KP), CounterRecord({2, QStringLiteral("2026")}));
        QVERIFY(!QFile::exists(ws.dataPath(QStringLiteral("DOKUMENTY/nrkw.dat"))));
    }

    // The wording the workstation chose in the voucher window goes on paper from here too.
    void printFollowsTheWorkstationsWording() {
        Demo demo;
        VoucherGrid grid;
        grid.kwota[0] = QStringLiteral("2.50");
        kpw::write(demo.path(QStringLiteral("a.kpw")), grid);
        const QStringList args = {"print", "voucher", "--kind", "kp",      "--id",
                                  demo.id, "--kpw",   "a.kpw",  "--trace", "kp.trace"};
        const auto wordsOnPaper = [&] {
            const Run run = print(demo.dir.path(), args);
            if (run.exitCode != 0)
                return QStringList{run.err};
            QStringList words;
            for (const QString& line : lines(demo.path(QStringLiteral("kp.trace")))) {
                if (line.contains(QStringLiteral("Słownie")))
                    words.append(line.section(QLatin1Char('\t'), 7));
            }
            return words;
        };
        QCOMPARE(wordsOnPaper(),
                 QStringList(2, QStringLiteral("Słownie :dwa złote pięćdziesiąt  groszy")));
        storeWordingSetting(demo.dir.path(), true);
        QCOMPARE(wordsOnPaper(),
                 QStringList(2, QStringLiteral("Słownie: dwa złote pięćdziesiąt groszy")));
    }

    void wrongArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("no kind") << QStringList{"--id", "ID", "--trace", "t"} << 2 << "--kind";
        QTest::newRow("other kind")
            << QStringList{"--kind", "kz", "--id", "ID", "--trace", "t"} << 2 << "kp albo kw";
        QTest::newRow("no output") << QStringList{"--kind", "kp", "--id", "ID"} << 2 << "--pdf";
        QTest::newRow("two outputs")
            << QStringList{"--kind", "kp", "--id", "ID", "--trace", "t", "--pdf", "p"} << 2
            << "--pdf";
        QTest::newRow("bad dpi") << QStringList{"--kind",  "kp", "--id",  "ID",
                                                "--trace", "t",  "--dpi", "0"}
                                 << 2 << "--dpi";
        QTest::newRow("option twice")
            << QStringList{"--kind", "kp", "--kind", "kw", "--id", "ID", "--trace", "t"} << 2
            << "dwa razy";
        QTest::newRow("unknown option")
            << QStringList{"--kind", "kp", "--id", "ID", "--trace", "t", "--copies", "2"} << 2
            << "--copies";
        QTest::newRow("value missing")
            << QStringList{"--kind", "kp", "--trace", "t", "--id"} << 2 << "--id";
        QTest::newRow("no such entry")
            << QStringList{"--kind", "kp", "--id", "999999", "--trace", "t"} << 1 << "999999";
        QTest::newRow("no such document")
            << QStringList{"--kind", "kp", "--id", "ID", "--kpw", "brak.kpw", "--trace", "t"} << 1
            << "brak.kpw";
        QTest::newRow("unwritable PDF")
            << QStringList{"--kind", "kp", "--id", "ID", "--pdf", "brak/v.pdf"} << 1 << "v.pdf";
    }

    // Nothing is printed and no number is spent.
    void wrongArguments() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        Demo demo;
        args.replaceInStrings(QStringLiteral("ID"), demo.id);
        const Run run = print(demo.dir.path(), QStringList{"print", "voucher"} + args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(!QFile::exists(demo.path(QStringLiteral("t"))));
        const Workstation ws = startup::prepareWorkstation(demo.dir.path(), false, {});
        const QString counter = ws.dataPath(QStringLiteral("DOKUMENTY/nrkp.dat"));
        QVERIFY(!QFile::exists(counter) || readCounter(ws, DocumentKind::KP).next == 1);
    }
};

KESTRANA_TEST(VoucherCommandsTest)
#include "VoucherCommandsTest.moc"
