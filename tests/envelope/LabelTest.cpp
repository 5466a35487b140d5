#include "cli/LabelCommands.h"
#include "envelope/LabelLayout.h"
#include "envelope/LabelPrintout.h"
#include "envelope/LabelSheet.h"
#include "print/TraceSurface.h"
#include "support/DataFolder.h"
#include "support/Poppler.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

// A sheet as a user defines it: 3 × 8 labels of 70 × 36 mm without margins across.
LabelSheet userSheet() {
    return {QStringLiteral("Biurowe 70x36"), 3, 8, 7000, 3600, 450, 0, 0, 0};
}

// The addresses of a few entries, one of them longer than any label holds on one line.
QList<QStringList> addresses(int count) {
    QList<QStringList> list;
    for (int i = 0; i < count; ++i)
        list << QStringList{QStringLiteral("Firma %1").arg(i + 1), QString(),
                            QStringLiteral("ul. Długa %1").arg(i + 1),
                            QStringLiteral("00-950 Warszawa")};
    list[1] = QStringList{QStringLiteral("Przedsiębiorstwo Produkcyjno-Handlowo-Usługowe „Żuraw”"),
                          QStringLiteral("Spółka z ograniczoną odpowiedzialnością sp. k."),
                          QStringLiteral("ul. Księcia Józefa Poniatowskiego 125/127 lok. 14"),
                          QStringLiteral("05-077 Warszawa-Wesoła")};
    return list;
}

LabelSource source(const QList<QStringList>& list) {
    return [list](const std::function<void(const QStringList&)>& each) {
        for (const QStringList& lines : list)
            each(lines);
    };
}

QStringList trace(const Printout& printout, int dpi) {
    TraceSurface surface(dpi, dpi);
    PageHelper page(surface);
    printout(page, PrintFont{QStringLiteral("Liberation Sans"), 10, 0, 0});
    return surface.lines();
}

QString goldenPath(const QString& name) {
    return QStringLiteral(KESTRANA_TESTS_DIR "/envelope/labels/") + name;
}

} // namespace

// Address labels on sheets: the stocks and the user's sheets, the layout in device dots, the
// fitting of long addresses and the start on a half-used sheet.
class LabelTest : public QObject {
    Q_OBJECT

private slots:
    void sheetsChecked_data() {
        QTest::addColumn<LabelSheet>("sheet");
        QTest::addColumn<QString>("problem"); // the beginning of the message, empty when fine
        for (const LabelSheet& sheet : standardSheets())
            QTest::newRow(qPrintable(sheet.name)) << sheet << QString();
        QTest::newRow("user sheet") << userSheet() << QString();
        LabelSheet wide = userSheet();
        wide.left = 100; // 1 mm too wide: 1 + 3 × 70 = 211
        QTest::newRow("1 mm too wide") << wide << "Etykiety nie mieszczą się na szerokości";
        LabelSheet tall = userSheet();
        tall.gapY = 100; // 4,5 + 8 × 36 + 7 × 1 = 299,5
        QTest::newRow("too tall by its gaps") << tall << "Etykiety nie mieszczą się na wysokości";
        LabelSheet taken = userSheet();
        taken.name = QStringLiteral("3X8");
        QTest::newRow("a stock's name") << taken << "Nazwa 3x8 należy";
        LabelSheet none = userSheet();
        none.columns = 0;
        QTest::newRow("no columns") << none << "Liczba kolumn";
    }
    void sheetsChecked() {
        QFETCH(LabelSheet, sheet);
        QFETCH(QString, problem);
        // A stock's name is its own; only a user's sheet may not take it.
        const QString found =
            standardSheets().contains(sheet) ? sheetProblem(sheet) : userSheetProblem(sheet);
        QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.startsWith(problem),
                 qPrintable(found));
    }

    // Stored per workstation and read back; the command line finds a stock or the user's sheet.
    void userSheetsStored() {
        DataFolder folder;
        storeUserSheets(folder.path(), {userSheet()});
        QFile stored(userSheetsFile(folder.path()));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), QByteArray("Biurowe 70x36;3;8;70;36;4,5;0;0;0\n"));
        QCOMPARE(readUserSheets(folder.path()), QList<LabelSheet>{userSheet()});
        QCOMPARE(sheetNamed(folder.path(), QStringLiteral("Biurowe 70x36")), userSheet());
        QCOMPARE(sheetNamed(folder.path(), QStringLiteral("2X7"))->labelWidth, 9910);
        QVERIFY(!sheetNamed(folder.path(), QStringLiteral("4x10")));
        QCOMPARE(parseMillimetres(QStringLiteral("63,5")), std::optional<int>(6350));
        QCOMPARE(parseMillimetres(QStringLiteral("4.65")), std::optional<int>(465));
        QVERIFY(!parseMillimetres(QStringLiteral("-1")));
    }

    void sheetsCounted_data() {
        QTest::addColumn<int>("labels");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("sheets");
        QTest::newRow("none") << 0 << 1 << 0;
        QTest::newRow("one full sheet") << 24 << 1 << 1;
        QTest::newRow("one more") << 25 << 1 << 2;
        QTest::newRow("the rest of a used sheet") << 5 << 20 << 1;
        QTest::newRow("past the used sheet") << 6 << 20 << 2;
        QTest::newRow("last label, then two sheets") << 49 << 24 << 3;
    }
    void sheetsCounted() {
        QFETCH(int, labels);
        QFETCH(int, start);
        QFETCH(int, sheets);
        QCOMPARE(sheetsNeeded(standardSheets().at(2), labels, start), qint64(sheets));
    }

    // With a measure of 10 dots per character per 10 points and lines of 2 dots per point.
    void textFitted_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("points");
        QTest::addColumn<QStringList>("fitted");
        QTest::addColumn<bool>("cut");
        QTest::newRow("fits as it is")
            << QStringList{"Abc", "", "ul. Ab 1"} << 10 << QStringList{"Abc", "ul. Ab 1"} << false;
        QTest::newRow("smaller to keep one line")
            << QStringList{"Abcdefghijkl"} << 8 << QStringList{"Abcdefghijkl"} << false;
        QTest::newRow("broken rather than below 8 points")
            << QStringList{"Abcdefg hijklm"} << 10 << QStringList{"Abcdefg", "hijklm"} << false;
        QTest::newRow("broken between words")
            << QStringList{"Abcd efgh ijkl mnop qrst"} << 10
            << QStringList{"Abcd efgh", "ijkl mnop", "qrst"} << false;
        // 104 letters at 16 a line: 7 lines, of which 5 fit the height.
        const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        const QString word = alphabet + alphabet + alphabet + alphabet;
        QStringList pieces;
        for (int i = 0; i < 5; ++i)
            pieces << word.mid(16 * i, 16);
        QTest::newRow("broken anywhere, then cut") << QStringList{word} << 6 << pieces << true;
    }
    void textFitted() {
        QFETCH(QStringList, lines);
        QFETCH(int, points);
        QFETCH(QStringList, fitted);
        QFETCH(bool, cut);
        const FittedLabel label =
            fitLabel(lines, QSize(100, 60), 10, 6,
                     [](int p, const QString& text) { return QSize(int(text.size()) * p, 2 * p); });
        QCOMPARE(label.lines, fitted);
        QCOMPARE(label.points, points);
        QCOMPARE(label.cut, cut);
    }

    // The frames of a test page and a printed sheet from its second label on, one label over
    // onto the next sheet, in device dots at 300 and 600 dpi, against the traces kept under
    // labels/ (written once by KESTRANA_WRITE_GOLDEN=1, looked at, then compared).
    void layoutInDeviceDots_data() {
        QTest::addColumn<LabelSheet>("sheet");
        QTest::addColumn<int>("dpi");
        QList<LabelSheet> sheets = standardSheets();
        sheets << userSheet();
        for (const LabelSheet& sheet : sheets) {
            for (const int dpi : {300, 600}) {
                const QString name =
                    QString(sheet.name).replace(QLatin1Char(' '), QLatin1Char('_')) +
                    QStringLiteral("-%1.trace").arg(dpi);
                QTest::newRow(qPrintable(name)) << sheet << dpi;
            }
        }
    }
    void layoutInDeviceDots() {
        QFETCH(LabelSheet, sheet);
        QFETCH(int, dpi);
        const QStringList lines = trace(labelTestPage(sheet), dpi) +
                                  trace(labelPrintout({sheet, AddressBlock::Seat, 2},
                                                      source(addresses(sheet.capacity()))),
                                        dpi);
        const QByteArray text = lines.join(QLatin1Char('\n')).toUtf8() + '\n';
        const QString path = goldenPath(QString::fromUtf8(QTest::currentDataTag()));
        if (qEnvironmentVariableIsSet("KESTRANA_WRITE_GOLDEN")) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
        }
        QFile golden(path);
        QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(path));
        QCOMPARE(QString::fromUtf8(text), QString::fromUtf8(golden.readAll()));
    }

    // The command line prints a PDF of each stock; rendered to a picture, each has ink.
    void cliPrintsEveryStock() {
        DataFolder folder;
        std::vector<EntryRecord> entries;
        for (int i = 1; i <= 30; ++i) {
            EntryRecord r = test::entry(QString::number(i), QStringLiteral("Firma %1").arg(i));
            r.setText(Field::adres, QStringLiteral("ul. Długa %1").arg(i));
            r.setText(Field::miejscowosc, QStringLiteral("00-950 Warszawa"));
            entries.push_back(r);
        }
        entries.push_back(test::entry(QStringLiteral("31"), QStringLiteral("Bez adresu")));
        folder.writeEntries(entries);
        // The list as it stands: every entry.
        QFile::copy(folder.file(QStringLiteral("DANE/spis_ks.dat")),
                    folder.file(QStringLiteral("DANE/sp_ks.dat")));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        for (const LabelSheet& sheet : standardSheets()) {
            const QString pdf = QStringLiteral("etykiety-%1.pdf").arg(sheet.name);
            QCOMPARE(runLabelPrintCommand(
                         {"print", "labels", "--sheet", sheet.name, "--pdf", pdf, "--start", "3"},
                         folder.path()),
                     0);
            QVERIFY(QFileInfo(folder.file(pdf)).size() > 0);
            if (pdftoppm.isEmpty())
                continue;
            QProcess render;
            render.start(pdftoppm, {"-r", "50", "-png", "-singlefile", folder.file(pdf),
                                    folder.file(QStringLiteral("etykiety-") + sheet.name)});
            QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
            if (const QString keep = qEnvironmentVariable("KESTRANA_KEEP_LABELS"); !keep.isEmpty())
                QFile::copy(folder.file(QStringLiteral("etykiety-%1.png").arg(sheet.name)),
                            keep + QStringLiteral("/etykiety-%1.png").arg(sheet.name));
        }
        QCOMPARE(runLabelPrintCommand(
                     {"print", "labels", "--sheet", "3x8", "--trace", "t", "--start", "25"},
                     folder.path()),
                 2);
    }
};

KESTRANA_TEST(LabelTest)
#include "LabelTest.moc"
