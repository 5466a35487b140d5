// The round trip an office makes: the register to a spreadsheet program and back. LibreOffice
// Calc, run headless, turns an .xlsx export (and a sheet typed in Calc) into CSV as its "Text
// CSV" save dialog proposes, and the import must find every field again. One soffice run
// converts both files, since each start takes seconds.
#include "exchange/CsvColumns.h"
#include "exchange/ImportPlan.h"
#include "exchange/XlsxExport.h"
#include "platform/CheckedFile.h"
#include "register/DataFolderSetup.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamWriter>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString kToday = QStringLiteral("2026-12-07");
const QString kAllPolishLetters = QStringLiteral("ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż");

// Entries a spreadsheet damages when it reads texts as numbers, and texts it could take for
// formulas or dates.
std::vector<EntryRecord> awkwardEntries() {
    std::vector<EntryRecord> out;
    EntryRecord zeros = entry("101", QStringLiteral("Zera z przodu ") + kAllPolishLetters);
    zeros.setText(Field::regon, QStringLiteral("012345675"));
    zeros.setText(Field::pesel, QStringLiteral("02070803628"));
    zeros.setText(Field::konto, QStringLiteral("20102040275288303662333699"));
    zeros.setText(Field::numer, QStringLiteral("000123"));
    zeros.setText(Field::telefon, QStringLiteral("0048123456789"));
    zeros.setText(Field::data, QStringLiteral("2007-03-05"));
    out.push_back(zeros);
    EntryRecord formulas = entry("102", QStringLiteral("=SUM(1;2)"));
    formulas.setText(Field::nazwa2, QStringLiteral("@HYPERLINK(\"http://x\")"));
    formulas.setText(Field::adres, QStringLiteral("-12 ul. Krótka, \"Dom\"; II p."));
    formulas.setText(Field::miejscowosc, QStringLiteral("  Łódź  "));
    formulas.setText(Field::wojewodztwo, QStringLiteral("1/2"));
    formulas.setText(Field::bank, QStringLiteral("'apostrof"));
    formulas.setText(Field::regon, QStringLiteral("12345678512347")); // 14 digits
    formulas.setUmowa(true);
    formulas.setCategory(20, true);
    formulas.setGroup(20, true);
    out.push_back(formulas);
    return out;
}

// Everything but the ID.
QByteArray withoutId(const EntryRecord& record) {
    return record.toByteArray().mid(layoutOf(Field::numer).offset);
}

// A sheet as an office types it in Calc, saved as flat OpenDocument: the header of an export,
// a row of text cells, and a row whose identifiers were typed as numbers.
QByteArray sheetTypedInCalc(const QStringList& header, const QStringList& texts) {
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    const QString office = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
    const QString table = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
    const QString text = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
    w.writeStartDocument();
    w.writeNamespace(office, QStringLiteral("office"));
    w.writeNamespace(table, QStringLiteral("table"));
    w.writeNamespace(text, QStringLiteral("text"));
    w.writeStartElement(office, QStringLiteral("document"));
    w.writeAttribute(office, QStringLiteral("version"), QStringLiteral("1.2"));
    w.writeAttribute(office, QStringLiteral("mimetype"),
                     QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"));
    w.writeStartElement(office, QStringLiteral("body"));
    w.writeStartElement(office, QStringLiteral("spreadsheet"));
    w.writeStartElement(table, QStringLiteral("table"));
    w.writeAttribute(table, QStringLiteral("name"), QStringLiteral("Arkusz1"));
    const auto textCell = [&](const QString& value) {
        w.writeStartElement(table, QStringLiteral("table-cell"));
        if (!value.isEmpty()) {
            w.writeAttribute(office, QStringLiteral("value-type"), QStringLiteral("string"));
            w.writeTextElement(text, QStringLiteral("p"), value);
        }
        w.writeEndElement();
    };
    const auto numberCell = [&](const QString& value) {
        w.writeStartElement(table, QStringLiteral("table-cell"));
        w.writeAttribute(office, QStringLiteral("value-type"), QStringLiteral("float"));
        w.writeAttribute(office, QStringLiteral("value"), value);
        w.writeTextElement(text, QStringLiteral("p"), value);
        w.writeEndElement();
    };
    const auto row = [&](const QStringList& cells, const QList<int>& numbers = {}) {
        w.writeStartElement(table, QStringLiteral("table-row"));
        for (int c = 0; c < cells.size(); ++c)
            numbers.contains(c) ? numberCell(cells[c]) : textCell(cells[c]);
        w.writeEndElement();
    };
    row(header);
    row(texts);
    QStringList typed(csv::kColumnCount);
    typed[int(Field::nazwa1)] = QStringLiteral("Wpisana liczbami");
    typed[int(Field::konto)] = QStringLiteral("20102040275288303662333699");
    typed[int(Field::pesel)] = QStringLiteral("2070803628");
    typed[int(Field::regon)] = QStringLiteral("12345675");
    typed[int(Field::nip)] = QStringLiteral("7772122540");
    row(typed, {int(Field::konto), int(Field::pesel), int(Field::regon), int(Field::nip)});
    w.writeEndDocument();
    return xml;
}

} // namespace

class SpreadsheetRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void calcKeepsEveryField() {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed: scripts/install-deps installs "
                  "libreoffice-calc-nogui");
        DataFolder folder(false);
        installDataFolder(folder.path(), true, kToday);
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, kToday);
        for (const EntryRecord& r : awkwardEntries())
            files::appendRecord(ws.mainFile(), r.toByteArray());
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines);
        const std::vector<EntryRecord> exported = folder.readEntries("DANE/sp_ks.dat");
        QCOMPARE(exported.size(), size_t(42));
        QCOMPARE(xlsx::exportCurrentList(ws, folder.file("lista.xlsx")), 42);

        QStringList texts(csv::kColumnCount);
        texts[int(Field::numer)] = QStringLiteral("007");
        texts[int(Field::nazwa1)] = QStringLiteral("Wpisana w Calc ") + kAllPolishLetters;
        texts[int(Field::regon)] = QStringLiteral("012345675");
        texts[int(Field::konto)] = QStringLiteral("PL 04 1020 4027 5288 3036 6233 3696");
        texts[int(Field::telefon)] = QStringLiteral("+48 12 345 67 89");
        texts[csv::kFirstCategoryColumn + 2] = QStringLiteral("tak");
        folder.writeBytes("recznie.fods",
                          sheetTypedInCalc(csv::headerRow(CategoryNames::defaults()), texts));

        // Calc's "Text CSV" save dialog proposes comma, double quote, UTF-8 and the cells as
        // shown; without these options a headless conversion writes Windows-1252, which has no
        // room for most Polish letters.
        QTemporaryDir profile;
        QProcess calc;
        calc.setProcessChannelMode(QProcess::MergedChannels);
        calc.start(soffice,
                   {QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(profile.path()).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                    QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"),
                    QStringLiteral("--outdir"), folder.file("calc"), folder.file("lista.xlsx"),
                    folder.file("recznie.fods")});
        if (!calc.waitForStarted(30000))
            QSKIP(qPrintable(QStringLiteral("soffice cannot start: ") + calc.errorString()));
        QVERIFY2(calc.waitForFinished(180000), "soffice did not finish within three minutes");
        const QString output = QString::fromLocal8Bit(calc.readAll());
        QVERIFY2(QFile::exists(folder.file("calc/lista.csv")) &&
                     QFile::exists(folder.file("calc/recznie.csv")),
                 qPrintable(QStringLiteral("soffice wrote no CSV: ") + output));

        // The export, through Calc: every row comes back whole, none looks damaged, and each
        // repeats the entry it came from.
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("calc/lista.csv"));
        QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
        QCOMPARE(plan.separator, QChar(','));
        QCOMPARE(plan.encoding, QStringLiteral("UTF-8"));
        QVERIFY(plan.refused.isEmpty());
        QCOMPARE(plan.damagedCount(), 0);
        QCOMPARE(plan.newCount(), 0);
        QCOMPARE(plan.rows.size(), exported.size());
        const csv::ImportResult result = csv::applyImport(ws, plan, csv::ImportChoice::All);
        const std::vector<EntryRecord> after = folder.readEntries();
        QCOMPARE(after.size(), 2 * exported.size());
        for (size_t i = 0; i < exported.size(); ++i)
            QCOMPARE(withoutId(after[exported.size() + i]), withoutId(exported[i]));

        // The sheet typed in Calc: its text cells come back as typed; the identifiers typed as
        // numbers are shown as damaged, each with its reason.
        const csv::ImportPlan typed = csv::planImport(ws, folder.file("calc/recznie.csv"));
        QVERIFY2(typed.refusal.isEmpty(), qPrintable(typed.refusal));
        QCOMPARE(typed.separator, QChar(','));
        QVERIFY(typed.refused.isEmpty());
        QCOMPARE(typed.rows.size(), size_t(2));
        const EntryRecord& first = typed.rows[0].record;
        for (int f = 1; f < kTextFieldCount; ++f)
            QCOMPARE(first.text(Field(f)), texts[f]);
        QVERIFY(first.category(3));
        QVERIFY(typed.rows[0].damage.isEmpty());
        const QStringList damage = typed.rows[1].damage;
        QCOMPARE(damage.size(), 3);
        QVERIFY(damage[0].startsWith(QStringLiteral("kolumna „Konto”: liczba w zapisie "
                                                    "wykładniczym (")));
        QVERIFY(damage[1].startsWith(QStringLiteral("kolumna „PESEL”: „2070803628” jest "
                                                    "poprawny dopiero z zerem")));
        QVERIFY(damage[2].startsWith(QStringLiteral("kolumna „REGON”: „12345675” jest "
                                                    "poprawny dopiero z zerem")));
    }
};

KESTRANA_TEST(SpreadsheetRoundTripTest)
#include "SpreadsheetRoundTripTest.moc"
