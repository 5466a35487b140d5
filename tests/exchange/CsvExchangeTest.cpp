#include "exchange/CsvColumns.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/DataFolderSetup.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cerrno>
#include <cstring>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString kToday = QStringLiteral("2026-12-07");

Workstation station(const DataFolder& folder) {
    return startup::prepareWorkstation(folder.path(), false, kToday);
}

// Everything but the ID: the bytes of the record after its first field.
QByteArray withoutId(const EntryRecord& record) {
    return record.toByteArray().mid(layoutOf(Field::numer).offset);
}

// A record that uses every byte value 1..255 in its texts, full widths, all flags and the
// characters that need quoting.
EntryRecord awkwardEntry() {
    EntryRecord r;
    int value = 1;
    for (int f = 1; f < kTextFieldCount; ++f) {
        const FieldLayout& l = fieldLayouts()[f];
        char* field = r.data() + l.offset;
        field[0] = static_cast<char>(l.width);
        for (int i = 1; i <= l.width; ++i) {
            field[i] = static_cast<char>(value);
            value = value == 255 ? 1 : value + 1;
        }
    }
    r.setText(Field::id, u"77");
    r.setText(Field::nazwa2, u" \"Dąb\"; Łódź\r\nul. Ślężna ");
    r.setUmowa(true);
    for (int n = 1; n <= kCategoryCount; n += 3)
        r.setCategory(n, true);
    r.setGroup(20, true);
    return r;
}

QString headerLine() {
    return csv::formatRow(csv::headerRow(CategoryNames::defaults()));
}

// A data row with the given name and the other cells empty.
QStringList rowNamed(const QString& name) {
    QStringList row(csv::kColumnCount);
    row[static_cast<int>(Field::nazwa1)] = name;
    return row;
}

QString fileOf(const QList<QStringList>& rows) {
    QString text = headerLine() + QStringLiteral("\r\n");
    for (const QStringList& row : rows)
        text += csv::formatRow(row) + QStringLiteral("\r\n");
    return text;
}

QStringList names(const std::vector<EntryRecord>& records, size_t from = 0) {
    QStringList out;
    for (size_t i = from; i < records.size(); ++i)
        out << records[i].text(Field::nazwa1);
    return out;
}

} // namespace

class CsvExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { files::testing::clearFaults(); }

    void demoRegisterSurvivesARoundTrip() {
        DataFolder folder(false);
        installDataFolder(folder.path(), true, kToday);
        const Workstation ws = station(folder);
        files::appendRecord(ws.mainFile(), awkwardEntry().toByteArray());
        const std::vector<EntryRecord> before = folder.readEntries();
        QCOMPARE(before.size(), size_t(41));

        Register reg(ws);
        QStringList lines;
        reg.buildList(ViewMode::Nazwa, lines);
        const QString csvPath = folder.file("lista.csv");
        QCOMPARE(csv::exportCurrentList(ws, csvPath), 41);
        const qint32 nextId = editing_counter(folder);
        const csv::ImportReport report = csv::importFile(ws, csvPath);
        QVERIFY2(report.refusal.isEmpty(), qPrintable(report.refusal));
        QVERIFY2(report.skipped.isEmpty(), qPrintable(csv::importSummary(report)));
        QCOMPARE(report.added, 41);
        QCOMPARE(report.firstId, nextId);
        QCOMPARE(report.firstPosition, 41);

        const std::vector<EntryRecord> after = folder.readEntries();
        QCOMPARE(after.size(), size_t(82));
        for (size_t i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i], before[i]); // the old entries are untouched
            QCOMPARE(withoutId(after[41 + i]), withoutId(before[i]));
            QCOMPARE(after[41 + i].text(Field::id), QString::number(nextId + int(i)));
        }
        QCOMPARE(editing_counter(folder), nextId + 41);
    }

    void exportHeaderNamesTheColumns() {
        DataFolder folder;
        const Workstation ws = station(folder);
        CategoryNames names = CategoryNames::defaults();
        names.categories[0] = QStringLiteral("Meble");
        names.categories[6] = QString();
        names.groups[2] = QStringLiteral("  ");
        CategoryNames::write(ws.categoriesFile(), names);
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines);
        QCOMPARE(csv::exportCurrentList(ws, folder.file("a.csv")), 1);
        const csv::Parsed parsed = csv::parse(csv::decodeFile(folder.readBytes("a.csv")));
        QCOMPARE(parsed.rows.size(), 2);
        const QStringList header = parsed.rows[0].fields;
        QCOMPARE(header.size(), csv::kColumnCount);
        QCOMPARE(header.mid(0, 5), QStringList({"ID", "Kod", "Data", "Nazwa", "Nazwa (2. linia)"}));
        QCOMPARE(header[csv::kMarkColumn], QStringLiteral("umowa rozwiązana"));
        QCOMPARE(header[csv::kFirstCategoryColumn], QStringLiteral("Meble"));
        QCOMPARE(header[csv::kFirstCategoryColumn + 6], QStringLiteral("Kategoria 7"));
        QCOMPARE(header[csv::kFirstGroupColumn + 2], QStringLiteral("Grupa 3"));
        QCOMPARE(header[csv::kFirstGroupColumn + 19], QStringLiteral("nieznana"));
        QCOMPARE(parsed.rows[1].fields[0], QStringLiteral("1"));
        QVERIFY(folder.readBytes("a.csv").startsWith("\xEF\xBB\xBFID;Kod;"));
    }

    void filteredListExportsOnlyItsEntriesInListOrder() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 6; ++i) {
            records.push_back(entry(QString::number(i), QStringLiteral("Firma %1").arg(i)));
            records.back().setCategory(3, i % 2 == 0);
        }
        folder.writeEntries(records);
        const Workstation ws = station(folder);
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines,
                               [](const EntryRecord& r) { return r.category(3); });
        QCOMPARE(csv::exportCurrentList(ws, folder.file("f.csv")), 3);
        const csv::Parsed parsed = csv::parse(csv::decodeFile(folder.readBytes("f.csv")));
        QStringList ids;
        for (qsizetype i = 1; i < parsed.rows.size(); ++i) {
            ids << parsed.rows[i].fields[0];
            QCOMPARE(parsed.rows[i].fields[csv::kFirstCategoryColumn + 2], QStringLiteral("tak"));
        }
        QCOMPARE(ids, QStringList({"2", "4", "6"}));
    }

    void failedExportKeepsThePreviousFile() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines);
        folder.writeBytes("a.csv", "poprzedni");
        files::testing::failWritesAfter(100, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, csv::exportCurrentList(ws, folder.file("a.csv")));
        files::testing::clearFaults();
        QCOMPARE(folder.readBytes("a.csv"), QByteArray("poprzedni"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"a.csv"}));
    }

    void badRowsAreSkippedWithTheirReasons_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("reason");
        const int nazwa1 = static_cast<int>(Field::nazwa1);
        QTest::newRow("name too long") << nazwa1 << QString(61, QLatin1Char('x'))
                                       << "kolumna „Nazwa”: tekst dłuższy niż 60 znaków (ma 61)";
        QTest::newRow("code too long") << int(Field::numer) << QString(21, QLatin1Char('7'))
                                       << "kolumna „Kod”: tekst dłuższy niż 20 znaków (ma 21)";
        QTest::newRow("character outside Windows-1250")
            << int(Field::miejscowosck) << QStringLiteral("Москва")
            << "kolumna „Miejscowość (korespondencja)”: znaku „М” nie ma w polskim kodowaniu "
               "Windows-1250";
        QTest::newRow("emoji") << nazwa1 << QStringLiteral("Firma 😀")
                               << "kolumna „Nazwa”: znaku „😀” nie ma w polskim kodowaniu "
                                  "Windows-1250";
        QTest::newRow("bad contract mark") << csv::kMarkColumn << QStringLiteral("x")
                                           << "kolumna „umowa rozwiązana”: „x” zamiast „tak” lub "
                                              "pustego pola";
        QTest::newRow("bad category mark") << csv::kFirstCategoryColumn + 4 << QStringLiteral("1")
                                           << "kolumna „nieznana”: „1” zamiast „tak” lub pustego "
                                              "pola";
    }
    void badRowsAreSkippedWithTheirReasons() {
        QFETCH(int, column);
        QFETCH(QString, cell);
        QFETCH(QString, reason);
        DataFolder folder;
        const Workstation ws = station(folder);
        QStringList bad = rowNamed(QStringLiteral("Zła"));
        bad[column] = cell;
        QStringList shortRow = rowNamed(QStringLiteral("Krótka"));
        shortRow.removeLast();
        shortRow.removeLast();
        folder.writeBytes("in.csv", fileOf({rowNamed(QStringLiteral("Pierwsza")), bad,
                                            rowNamed(QStringLiteral("Trzecia")), shortRow})
                                        .toUtf8());
        const csv::ImportReport report = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(report.added, 2);
        QCOMPARE(report.skipped.size(), 2);
        QCOMPARE(report.skipped[0].row, 3);
        QCOMPARE(report.skipped[0].reason, reason);
        QCOMPARE(report.skipped[1].row, 5);
        QCOMPARE(report.skipped[1].reason, QStringLiteral("64 kolumny zamiast 66"));
        QCOMPARE(names(folder.readEntries(), 1), QStringList({"Pierwsza", "Trzecia"}));
    }

    void unterminatedQuoteIsSkippedAndTheOthersAdded() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QString text = fileOf({rowNamed(QStringLiteral("Pierwsza"))});
        text += QStringLiteral(";;;\"Urwana;") + QString(62, QLatin1Char(';')) + "\r\n";
        text += csv::formatRow(rowNamed(QStringLiteral("Ostatnia"))) + "\r\n";
        folder.writeBytes("in.csv", text.toUtf8());
        const csv::ImportReport report = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(report.added, 2);
        QCOMPARE(report.skipped.size(), 1);
        QCOMPARE(report.skipped[0].row, 3);
        QVERIFY(report.skipped[0].reason.contains(QStringLiteral("cudzysłów")));
        QCOMPARE(names(folder.readEntries(), 1), QStringList({"Pierwsza", "Ostatnia"}));
    }

    void spreadsheetEditsAreAccepted() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QStringList marked = rowNamed(QStringLiteral("Zaznaczona"));
        marked[csv::kMarkColumn] = QStringLiteral(" TAK ");
        marked[csv::kFirstCategoryColumn] = QStringLiteral("Tak");
        marked[csv::kFirstGroupColumn + 1] = QStringLiteral("nie");
        marked[0] = QStringLiteral("999");                      // an exported ID is not taken over
        QString text = headerLine() + QStringLiteral(";;\r\n"); // padded by the spreadsheet
        text += csv::formatRow(marked) + QStringLiteral(";;\r\n");         // likewise
        text += QString(csv::kColumnCount + 1, QLatin1Char(';')) + "\r\n"; // an empty row
        text += "\r\n";
        folder.writeBytes("in.csv", text.toUtf8());
        const csv::ImportReport report = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(report.added, 1);
        QVERIFY(report.skipped.isEmpty());
        const EntryRecord added = folder.readEntries().back();
        QCOMPARE(added.text(Field::id), QStringLiteral("2"));
        QVERIFY(added.umowa());
        QVERIFY(added.category(1));
        QVERIFY(!added.group(2));
        QCOMPARE(added.toByteArray().mid(EntryRecord::ReservedOffset),
                 QByteArray(EntryRecord::ReservedSize, '\0'));
    }

    void windows1250FileIsRead() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QStringList row = rowNamed(QStringLiteral("Spółdzielnia „Łąka”"));
        row[static_cast<int>(Field::miejscowosc)] = QStringLiteral("Źródła");
        folder.writeBytes("in.csv", cp1250::encode(fileOf({row})));
        const csv::ImportReport report = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(report.added, 1);
        const EntryRecord added = folder.readEntries().back();
        QCOMPARE(added.text(Field::nazwa1), QStringLiteral("Spółdzielnia „Łąka”"));
        QCOMPARE(added.text(Field::miejscowosc), QStringLiteral("Źródła"));
    }

    void foreignFilesAreRefusedWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("empty") << QByteArray() << "Plik jest pusty.";
        QTest::newRow("comma separated")
            << QByteArray("ID,Kod,Data\r\n1,A,B\r\n")
            << "Plik nie jest eksportem listy wpisów: jego pierwszy wiersz ma 1 kolumnę, a "
               "powinien mieć 66 (rozdzielonych średnikami).";
        QString renamed = headerLine();
        renamed.replace(QStringLiteral("Kod"), QStringLiteral("Symbol"));
        QTest::newRow("other heading")
            << (renamed + "\r\n" + csv::formatRow(rowNamed("A"))).toUtf8()
            << "Plik nie jest eksportem listy wpisów: kolumna 2 ma nagłówek „Symbol” zamiast "
               "„Kod”.";
        QTest::newRow("broken header") << QByteArray("\"ID;Kod\r\nA;B\r\n")
                                       << "Plik nie jest eksportem listy wpisów: wiersz nagłówka "
                                          "jest uszkodzony (niezamknięty cudzysłów).";
    }
    void foreignFilesAreRefusedWhole() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        DataFolder folder;
        const Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        folder.writeBytes("in.csv", bytes);
        const csv::ImportReport report = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(report.refusal, refusal);
        QCOMPARE(report.added, 0);
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(editing_counter(folder), 2);
    }

    void failedImportAddsNothing() {
        DataFolder folder;
        const Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        QList<QStringList> rows;
        for (int i = 0; i < 5; ++i)
            rows << rowNamed(QStringLiteral("Firma %1").arg(i));
        folder.writeBytes("in.csv", fileOf(rows).toUtf8());
        // The counter (4 bytes) is written, the new main file fails inside its third entry.
        files::testing::failWritesAfter(4 + 3 * EntryRecord::Size + 100, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, csv::importFile(ws, folder.file("in.csv")));
        files::testing::clearFaults();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(editing_counter(folder), 7); // IDs 2..6 taken, never given twice
        const csv::ImportReport again = csv::importFile(ws, folder.file("in.csv"));
        QCOMPARE(again.firstId, 7);
        QCOMPARE(folder.readEntries().size(), size_t(6));
    }

    void missingMainFileFailsBeforeAnything() {
        DataFolder folder;
        const Workstation ws = station(folder);
        folder.writeBytes("in.csv", fileOf({rowNamed("A")}).toUtf8());
        QFile::remove(ws.idFile());
        QVERIFY_THROWS_EXCEPTION(IoError, csv::importFile(ws, folder.file("in.csv")));
        QVERIFY(!QFile::exists(ws.idFile()));
        QCOMPARE(folder.readEntries().size(), size_t(1));
        QVERIFY_THROWS_EXCEPTION(IoError, csv::importFile(ws, folder.file("brak.csv")));
    }

    void summary_data() {
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1 << 0 << -1 << "Dodano 1 wpis (ID 41).";
        QTest::newRow("few") << 3 << 0 << -1 << "Dodano 3 wpisy (ID 41–43).";
        QTest::newRow("many") << 12 << 0 << -1 << "Dodano 12 wpisów (ID 41–52).";
        QTest::newRow("twenty-two") << 22 << 0 << -1 << "Dodano 22 wpisy (ID 41–62).";
        QTest::newRow("none, skipped") << 0 << 2 << -1
                                       << "Nie dodano żadnego wpisu.\nPominięto 2 wiersze:\n"
                                          "wiersz 2: powód 2\nwiersz 3: powód 3";
        QTest::newRow("reasons cut") << 1 << 5 << 2
                                     << "Dodano 1 wpis (ID 41).\nPominięto 5 wierszy:\n"
                                        "wiersz 2: powód 2\nwiersz 3: powód 3\n… i 3 innych";
    }
    void summary() {
        QFETCH(int, added);
        QFETCH(int, skipped);
        QFETCH(int, shown);
        QFETCH(QString, text);
        csv::ImportReport report;
        report.added = added;
        report.firstId = 41;
        for (int row = 2; row < 2 + skipped; ++row)
            report.skipped.append({row, QStringLiteral("powód %1").arg(row)});
        QCOMPARE(csv::importSummary(report, shown), text);
    }

private:
    static qint32 editing_counter(const DataFolder& folder) {
        return int32FromBytes(folder.readBytes("ADMINI/id_ks.dat"));
    }
};

KESTRANA_TEST(CsvExchangeTest)
#include "CsvExchangeTest.moc"
