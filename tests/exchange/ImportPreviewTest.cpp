#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportTexts.h"
#include "exchange/SpreadsheetDamage.h"
#include "register/Startup.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString kToday = QStringLiteral("2026-12-07");

EntryRecord withField(Field field, const QString& text) {
    EntryRecord r = entry(QString(), QStringLiteral("Firma"));
    r.setText(field, text);
    return r;
}

QStringList rowOf(const EntryRecord& r) {
    QStringList row = csv::entryRow(r);
    row[0].clear();
    return row;
}

void writeCsv(const DataFolder& folder, const QString& name, const std::vector<EntryRecord>& rows) {
    QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
    for (const EntryRecord& r : rows)
        text += csv::formatRow(rowOf(r)) + "\r\n";
    folder.writeBytes(name, text.toUtf8());
}

EntryRecord company(const QString& id, const QString& name, const QString& town,
                    const QString& nip) {
    EntryRecord r = entry(id, name);
    r.setText(Field::miejscowosc, town);
    r.setText(Field::nip, nip);
    return r;
}

} // namespace

class ImportPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void damageBySpreadsheet_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // empty: no damage
        const int konto = int(Field::konto);
        const int regon = int(Field::regon);
        const int pesel = int(Field::pesel);
        const int nip = int(Field::nip);
        QTest::newRow("account in exponent form, Calc")
            << konto << "2.01020402752883E+025"
            << "kolumna „Konto”: liczba w zapisie wykładniczym („2.01020402752883E+025”): arkusz "
               "zaokrąglił długi numer";
        QTest::newRow("exponent with a decimal comma, Excel")
            << int(Field::telefon) << "4,86123E+10"
            << "kolumna „Telefon”: liczba w zapisie wykładniczym („4,86123E+10”): arkusz "
               "zaokrąglił długi numer";
        QTest::newRow("account rounded to 15 digits")
            << konto << "20102040275288300000000000"
            << "kolumna „Konto”: „20102040275288300000000000”: cyfry kontrolne numeru rachunku się "
               "nie zgadzają";
        QTest::newRow("valid account with blanks") << konto << "20 1020 4027 5288 3036 6233 3699"
                                                   << "";
        QTest::newRow("valid account as IBAN") << konto << "PL20102040275288303662333699"
                                               << "";
        QTest::newRow("account that lost its zero")
            << konto << "4102040275288303662333696"
            << "kolumna „Konto”: „4102040275288303662333696” jest poprawny dopiero z zerem na "
               "początku („04102040275288303662333696”): arkusz mógł go usunąć";
        QTest::newRow("short foreign account") << konto << "12345678"
                                               << "";
        QTest::newRow("REGON that lost its zero")
            << regon << "12345675"
            << "kolumna „REGON”: „12345675” jest poprawny dopiero z zerem na początku "
               "(„012345675”): arkusz mógł go usunąć";
        QTest::newRow("REGON that lost two zeros")
            << regon << "1234562"
            << "kolumna „REGON”: „1234562” jest poprawny dopiero z zerami na początku "
               "(„001234562”): arkusz mógł je usunąć";
        QTest::newRow("valid REGON with its zero") << regon << "012345675"
                                                   << "";
        QTest::newRow("REGON, wrong check digit")
            << regon << "012345678"
            << "kolumna „REGON”: „012345678”: Błędna cyfra kontrolna";
        QTest::newRow("PESEL of 1902 that lost its zero")
            << pesel << "2070803628"
            << "kolumna „PESEL”: „2070803628” jest poprawny dopiero z zerem na początku "
               "(„02070803628”): arkusz mógł go usunąć";
        QTest::newRow("PESEL, wrong check digit")
            << pesel << "74052108208"
            << "kolumna „PESEL”: „74052108208”: Błędna cyfra kontrolna";
        QTest::newRow("NIP, wrong length")
            << nip << "777212254"
            << "kolumna „NIP”: „777212254”: NIP ma 10 cyfr, wpisano 9";
        QTest::newRow("valid NIP with dashes") << nip << "777-212-25-40"
                                               << "";
        QTest::newRow("NIP in words is no spreadsheet damage") << nip << "brak"
                                                               << "";
        QTest::newRow("a code that merely contains E") << int(Field::numer) << "P-1E5"
                                                       << "";
    }
    void damageBySpreadsheet() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const QStringList damage = csv::spreadsheetDamage(withField(Field(field), text));
        QCOMPARE(damage, reason.isEmpty() ? QStringList() : QStringList{reason});
    }

    // What a hostile or damaged file cannot do: take memory far beyond an export's (a file or a
    // row too large is refused with its size), or pass a bad byte in a data row off as a wrong
    // header (the row is refused with its number).
    void limitsAndBadBytes_data() {
        QTest::addColumn<QByteArray>("start"); // before the header
        QTest::addColumn<QByteArray>("row");   // after it; "@" stands for the byte 0xFF
        QTest::addColumn<qint64>("size");      // the file made this large, 0: as written
        QTest::addColumn<QString>("refusal");  // a part of it; empty: none
        QTest::addColumn<int>("refusedRow");   // 0: none
        const QByteArray bom = csv::fileHeader();
        const QByteArray bad =
            csv::formatRow(rowOf(entry(QString(), QStringLiteral("Firma@")))).toUtf8();
        QTest::newRow("bad byte, UTF-8 marked") << bom << bad << qint64(0) << "" << 2;
        QTest::newRow("bad byte, Polish header") << QByteArray() << bad << qint64(0) << "" << 2;
        QTest::newRow("row over 64 KB")
            << QByteArray() << QByteArray(70000, 'a') << qint64(0)
            << "wiersz 2 jest za długi (wiersz ma 69 KB, a wiersz może mieć najwyżej 64 KB)" << 0;
        QTest::newRow("file over 64 MB")
            << QByteArray() << QByteArray("Firma") << (qint64(64) << 20) + 1
            << "Plik ma 65 MB, a import przyjmuje pliki CSV do 64 MB." << 0;
    }
    void limitsAndBadBytes() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, row);
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        QFETCH(int, refusedRow);
        DataFolder folder;
        const Workstation ws = startup::prepareWorkstation(folder.path(), true, kToday);
        QByteArray text =
            start + csv::formatRow(csv::headerRow(CategoryNames::defaults())).toUtf8();
        folder.writeBytes("in.csv", text + "\r\n" + row.replace('@', '\xFF') + "\r\n");
        if (size > 0)
            QVERIFY(QFile::resize(folder.file("in.csv"), size));
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QVERIFY2(plan.refusal.contains(refusal), qPrintable(plan.refusal));
        QCOMPARE(plan.refusal.isEmpty(), refusal.isEmpty());
        QCOMPARE(plan.refused.size(), refusedRow ? 1 : 0);
        if (refusedRow) {
            QCOMPARE(plan.refused[0].row, refusedRow);
            QVERIFY2(plan.refused[0].reason.contains("UTF-8"), qPrintable(plan.refused[0].reason));
        }
    }

    void rowsRepeatingTheRegisterAreFound() {
        DataFolder folder;
        folder.writeEntries({company("1", "Zakład Dąb", "62-020 Swarzędz", "777-212-25-40"),
                             company("2", "Piekarnia Kłos", "Kraków", ""),
                             company("3", "Inna nazwa", "Gdańsk", "7772122540"),
                             company("4", "Bez NIP", "", "brak")});
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, kToday);
        writeCsv(folder, "in.csv",
                 {company("", "Nowa", "Kraków", "PL 7772122540"),             // NIP of 1 and 3
                  company("", "  piekarnia  KŁOS ", "kraków", ""),            // name and town of 2
                  company("", "Piekarnia Kłos", "Wieliczka", ""),             // another town
                  company("", "Zakład Dąb", "62-020 Swarzędz", "7772122540"), // both, and 3
                  company("", "Bez NIP", "", "brak"),    // an empty town matches an empty town
                  company("", "Całkiem nowa", "", "")}); // nothing
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(plan.rows.size(), size_t(6));
        QCOMPARE(plan.rows[0].matches, QStringList({"wpis ID 1 „Zakład Dąb” (ten sam NIP)",
                                                    "wpis ID 3 „Inna nazwa” (ten sam NIP)"}));
        QCOMPARE(plan.rows[1].matches,
                 QStringList({"wpis ID 2 „Piekarnia Kłos” (ta sama nazwa i miejscowość)"}));
        QVERIFY(plan.rows[2].isNew());
        QCOMPARE(plan.rows[3].matches,
                 QStringList({"wpis ID 1 „Zakład Dąb” (ten sam NIP, nazwa i miejscowość)",
                              "wpis ID 3 „Inna nazwa” (ten sam NIP)"}));
        QCOMPARE(plan.rows[4].matches,
                 QStringList({"wpis ID 4 „Bez NIP” (ta sama nazwa i miejscowość)"}));
        QVERIFY(plan.rows[5].isNew());
        QCOMPARE(plan.matchingCount(), 4);
        QCOMPARE(plan.newCount(), 2);

        // Only the new ones: rows 4 and 7 of the file.
        const csv::ImportResult result = csv::applyImport(ws, plan, csv::ImportChoice::OnlyNew);
        QCOMPARE(result.rows, QList<int>({4, 7}));
        QCOMPARE(result.leftOut, QList<int>({2, 3, 5, 6}));
        const std::vector<EntryRecord> after = folder.readEntries();
        QCOMPARE(after.size(), size_t(6));
        QCOMPARE(after[4].text(Field::miejscowosc), QStringLiteral("Wieliczka"));
        QCOMPARE(after[5].text(Field::nazwa1), QStringLiteral("Całkiem nowa"));
        QCOMPARE(csv::resultSummary(result),
                 QStringLiteral("Dodano 2 wpisy (ID 5–6).\n"
                                "Pominięte wiersze zgodne z wpisami w rejestrze: 4."));
    }

    void manyMatchesAreCounted() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int id = 1; id <= 7; ++id)
            records.push_back(company(QString::number(id), "Ta sama", "Łódź", ""));
        folder.writeEntries(records);
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, kToday);
        writeCsv(folder, "in.csv", {company("", "Ta sama", "Łódź", "")});
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(plan.rows[0].matches.size(), 4);
        QCOMPARE(plan.rows[0].matches.back(), QStringLiteral("i 4 wpisy więcej"));
    }

    void previewTexts() {
        DataFolder folder;
        folder.writeEntries({company("1", "Dąb", "Swarzędz", "7772122540")});
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, kToday);
        EntryRecord damaged = company("", "Uszkodzona", "Kraków", "");
        damaged.setText(Field::regon, QStringLiteral("12345675"));
        damaged.setText(Field::konto, QStringLiteral("2.01020402752883E+025"));
        writeCsv(folder, "in.csv",
                 {company("", "Dąb", "Swarzędz", ""), damaged, company("", "Nowa", "", "")});
        // A refused row, placed as the file's fourth row.
        QString text = QString::fromUtf8(folder.readBytes("in.csv"));
        text += csv::formatRow(QStringList(10, QStringLiteral("x"))) + "\r\n";
        folder.writeBytes("in.csv", text.toUtf8());

        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(csv::planSummary(plan),
                 QStringLiteral("Plik: %1 (kodowanie UTF-8, separator: średnik).\n"
                                "Wiersze do dodania: 3.\n"
                                "Wiersze odrzucone: 1.\n"
                                "Wiersze, które wyglądają na uszkodzone przez arkusz: 1.\n"
                                "Wiersze zgodne z wpisami w rejestrze (NIP albo nazwa i "
                                "miejscowość): 1, nowe: 2.")
                     .arg(folder.file("in.csv")));
        QCOMPARE(csv::planDetails(plan),
                 QStringLiteral(
                     "Wiersze odrzucone (nie zostaną dodane):\n"
                     "wiersz 5: 10 kolumn zamiast 66\n"
                     "\n"
                     "Wiersze, które wyglądają na uszkodzone przez arkusz:\n"
                     "wiersz 3: kolumna „Konto”: liczba w zapisie wykładniczym "
                     "(„2.01020402752883E+025”): arkusz zaokrąglił długi numer; kolumna „REGON”: "
                     "„12345675” jest poprawny dopiero z zerem na początku („012345675”): arkusz "
                     "mógł go usunąć\n"
                     "\n"
                     "Wiersze zgodne z wpisami w rejestrze:\n"
                     "wiersz 2: Dąb – jak wpis ID 1 „Dąb” (ta sama nazwa i miejscowość)"));
        QCOMPARE(csv::planDetails(plan, 0),
                 QStringLiteral("Wiersze odrzucone (nie zostaną dodane):\n… i 1 wiersz więcej\n\n"
                                "Wiersze, które wyglądają na uszkodzone przez arkusz:\n… i 1 "
                                "wiersz więcej\n\nWiersze zgodne z wpisami w rejestrze:\n… i 1 "
                                "wiersz więcej"));
    }

    void resultSummaries_data() {
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("leftOut");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1 << 0 << "Dodano 1 wpis (ID 41).";
        QTest::newRow("few") << 3 << 0 << "Dodano 3 wpisy (ID 41–43).";
        QTest::newRow("many") << 12 << 0 << "Dodano 12 wpisów (ID 41–52).";
        QTest::newRow("twenty-two") << 22 << 0 << "Dodano 22 wpisy (ID 41–62).";
        QTest::newRow("none, all repeated")
            << 0 << 5
            << "Nie dodano żadnego wpisu.\nPominięte wiersze zgodne z wpisami w rejestrze: 5.";
    }
    void resultSummaries() {
        QFETCH(int, added);
        QFETCH(int, leftOut);
        QFETCH(QString, text);
        csv::ImportResult result;
        for (int i = 0; i < added; ++i)
            result.added.push_back(entry(QString::number(41 + i), QStringLiteral("F")));
        for (int i = 0; i < leftOut; ++i)
            result.leftOut.append(i + 2);
        QCOMPARE(csv::resultSummary(result), text);
    }
};

KESTRANA_TEST(ImportPreviewTest)
#include "ImportPreviewTest.moc"
