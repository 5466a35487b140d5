// The command's source is part of kestrana-cli only; the test compiles it in to call it directly.
#include "cli/EnvelopeCommands.h"
#include "station/SmallRecords.h"

#include "envelope/EnvelopePaper.h"
#include "envelope/EnvelopeRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

// A register with two entries and the own company's data.
void fillRegister(const DataFolder& folder) {
    EntryRecord first = test::entry(QStringLiteral("7"), QStringLiteral("Młyn Zbożowy"));
    first.setText(Field::nazwa2, QStringLiteral("Sp. z o.o."));
    first.setText(Field::adres, QStringLiteral("ul. Wiejska 4"));
    first.setText(Field::miejscowosc, QStringLiteral("00-950 Warszawa"));
    first.setText(Field::adresk, QStringLiteral("ul. Piotrkowska 1"));
    first.setText(Field::miejscowosck, QStringLiteral("90-001 Łódź"));
    first.setText(Field::personaliao, QStringLiteral("Jan Kowalski"));
    first.setText(Field::adreso, QStringLiteral("ul. Floriańska 2"));
    first.setText(Field::miejscowosco, QStringLiteral("30-001 Kraków"));
    folder.writeEntries({test::entry(QStringLiteral("3"), QStringLiteral("Inna")), first});
    CompanyRecord firma;
    firma.lines = {QStringLiteral("Biuro Rachunkowe"),
                   QStringLiteral("ul. Krótka 5"),
                   QStringLiteral("00-002 Warszawa"),
                   QString(),
                   QString(),
                   QString()};
    folder.writeBytes(QStringLiteral("ADMINI/firma.dat"), firma.toBytes());
    folder.writeBytes(QStringLiteral("ADMINI/dane_kop_for.dat"),
                      FormOfAddress{QStringLiteral("Pan")}.toBytes());
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The text and position of each text line of a trace: "x y text".
QStringList texts(const QStringList& trace) {
    QStringList out;
    for (const QString& line : trace) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.first() == QLatin1String("text"))
            out << f[1] + QLatin1Char(' ') + f[2] + QLatin1Char(' ') + f.last();
    }
    return out;
}

} // namespace

class EnvelopeCliTest : public QObject {
    Q_OBJECT

private slots:
    void wrongArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("no output") << QStringList{"--id", "7"};
        QTest::newRow("two outputs") << QStringList{"--id", "7", "--pdf", "a.pdf", "--trace", "t"};
        QTest::newRow("block 4") << QStringList{"--id", "7", "--trace", "t", "--block", "4"};
        QTest::newRow("dpi text") << QStringList{"--id", "7", "--trace", "t", "--dpi", "600x"};
        QTest::newRow("unknown") << QStringList{"--id", "7", "--trace", "t", "--kolor", "x"};
        QTest::newRow("twice") << QStringList{"--id", "7", "--id", "8", "--trace", "t"};
        QTest::newRow("no value") << QStringList{"--trace", "t", "--id"};
        QTest::newRow("paper B5") << QStringList{"--id", "7", "--trace", "t", "--paper", "B5"};
    }
    void wrongArguments() {
        QFETCH(QStringList, args);
        DataFolder folder;
        QCOMPARE(runEnvelopePrintCommand(args, folder.path()), 2);
        // Nothing was done: not even the settings files were created.
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("ADMINI/dane_kop_1.dat"))));
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("t"))));
    }

    void unknownIdFails() {
        DataFolder folder;
        fillRegister(folder);
        QCOMPARE(runEnvelopePrintCommand({"--id", "99", "--trace", "t.txt"}, folder.path()), 1);
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("t.txt"))));
    }

    void blocksAsTheKopertaButtons_data() {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QStringList>("recipient");
        QTest::newRow("default") << QString()
                                 << QStringList{"Młyn Zbożowy", "Sp. z o.o.", "ul. Wiejska 4",
                                                "00-950 Warszawa"};
        QTest::newRow("corr") << "corr"
                              << QStringList{"Młyn Zbożowy", "Sp. z o.o.", "ul. Piotrkowska 1",
                                             "90-001 Łódź"};
        QTest::newRow("3") << "3"
                           << QStringList{"Jan Kowalski", "ul. Floriańska 2", "30-001 Kraków", ""};
    }
    void blocksAsTheKopertaButtons() {
        QFETCH(QString, block);
        QFETCH(QStringList, recipient);
        DataFolder folder;
        fillRegister(folder);
        QStringList args{"print",   "envelope",    "--id",  "7",
                         "--trace", "koperta.txt", "--dpi", "300"};
        if (!block.isEmpty())
            args << "--block" << block;
        QCOMPARE(runEnvelopePrintCommand(args, folder.path()), 0);
        const QStringList trace = readLines(folder.file(QStringLiteral("koperta.txt")));
        QCOMPARE(trace.value(0), QStringLiteral("begin\tportrait\t300\t300"));
        QCOMPARE(trace.value(trace.size() - 1), QStringLiteral("end"));
        // 12 dots a grid step at 300 dpi; the defaults were created as the window creates them.
        QStringList expected{"60 72 Biuro Rachunkowe", "60 132 ul. Krótka 5",
                             "60 192 00-002 Warszawa", "60 252 ", "600 600 Pan"};
        for (int k = 0; k < 4; ++k)
            expected << QStringLiteral("660 %1 %2").arg((60 + 5 * k) * 12).arg(recipient[k]);
        QCOMPARE(texts(trace), expected);
        QVERIFY(QFile::exists(folder.file(QStringLiteral("ADMINI/dane_kop_1.dat"))));
    }

    // The paper this workstation chose in the envelope window, or the one named.
    void paperOfTheWorkstationOrNamed_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("paperLine");
        QTest::newRow("none") << -1 << QString() << QString();
        QTest::newRow("stored C6")
            << int(EnvelopePaper::C6) << QString() << "paper\tEnvelope C6\t114\t162";
        QTest::newRow("named dl") << int(EnvelopePaper::C6) << "dl"
                                  << "paper\tEnvelope DL\t110\t220";
        QTest::newRow("named page") << int(EnvelopePaper::C4) << "strona" << QString();
    }
    void paperOfTheWorkstationOrNamed() {
        QFETCH(int, stored);
        QFETCH(QString, named);
        QFETCH(QString, paperLine);
        DataFolder folder;
        fillRegister(folder);
        if (stored >= 0)
            storeEnvelopePaper(folder.path(), EnvelopePaper(stored));
        QStringList args{"--id", "7", "--trace", "t.txt"};
        if (!named.isEmpty())
            args << "--paper" << named;
        QCOMPARE(runEnvelopePrintCommand(args, folder.path()), 0);
        const QStringList trace = readLines(folder.file(QStringLiteral("t.txt")));
        QCOMPARE(trace.value(1).startsWith(QLatin1String("paper")), !paperLine.isEmpty());
        if (!paperLine.isEmpty())
            QCOMPARE(trace.value(1), paperLine);
    }

    void profileOverridesTheDefaults() {
        DataFolder folder;
        fillRegister(folder);
        EnvelopeProfile profile;
        profile.settings = EnvelopeSettings::defaults();
        profile.settings.left[1] = QStringLiteral("70");
        profile.settings.top[1] = QStringLiteral("80");
        profile.settings.spacing = QStringLiteral("0");
        profile.options = {2, 0, 1};
        folder.writeBytes(QStringLiteral("biuro.pro"), profile.toBytes());
        QCOMPARE(runEnvelopePrintCommand(
                     {"--id", "7", "--profile", "biuro.pro", "--trace", "t.txt"}, folder.path()),
                 0);
        const QStringList trace = readLines(folder.file(QStringLiteral("t.txt")));
        QCOMPARE(trace.value(0), QStringLiteral("begin\tlandscape\t600\t600"));
        const QStringList lines = texts(trace);
        QCOMPARE(lines.value(4), QStringLiteral("1680 1920 Pan"));
        QCOMPARE(lines.value(5), QStringLiteral("1800 2040 Młyn Zbożowy"));
        QCOMPARE(lines.value(8), QStringLiteral("1800 2040 00-950 Warszawa"));

        QCOMPARE(runEnvelopePrintCommand({"--id", "7", "--profile", "brak.pro", "--trace", "u.txt"},
                                         folder.path()),
                 1);
    }

    void pdfWithTheStoredLogo() {
        DataFolder folder;
        fillRegister(folder);
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString jpeg = folder.file(QStringLiteral("logo.jpg"));
        QVERIFY(image.save(jpeg, "JPG"));
        folder.writeBytes(QStringLiteral("ADMINI/dane_kop_log_1.dat"),
                          EnvelopeLogo{jpeg, QStringLiteral("10"), QStringLiteral("20")}.toBytes());
        folder.writeBytes(QStringLiteral("ADMINI/dane_kop_ori_1.dat"),
                          QByteArray("\x01\x01\x00", 3));
        QCOMPARE(runEnvelopePrintCommand({"--id", "7", "--pdf", "koperta.pdf"}, folder.path()), 0);
        QFile pdf(folder.file(QStringLiteral("koperta.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));

        const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
        if (pdfimages.isEmpty())
            QSKIP("pdfimages is not installed");
        QProcess list;
        list.start(pdfimages, {QStringLiteral("-list"), pdf.fileName()});
        QVERIFY(list.waitForFinished(30000));
        const QStringList rows = QString::fromUtf8(list.readAllStandardOutput())
                                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                     .mid(2);
        QCOMPARE(rows.size(), 1);
        const QStringList columns = rows[0].simplified().split(QLatin1Char(' '));
        QCOMPARE(columns.mid(3, 2), (QStringList{"200", "100"}));
    }

    void unwritableOutputFails() {
        DataFolder folder;
        fillRegister(folder);
        QCOMPARE(runEnvelopePrintCommand({"--id", "7", "--trace", "brak/t.txt"}, folder.path()), 1);
        QCOMPARE(runEnvelopePrintCommand({"--id", "7", "--pdf", "brak/k.pdf"}, folder.path()), 1);
    }
};

KESTRANA_TEST(EnvelopeCliTest)
#include "EnvelopeCliTest.moc"
