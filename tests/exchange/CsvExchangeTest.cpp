#include "exchange/CsvColumns.h"
#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "exchange/ImportPlan.h"
#include "exchange/XlsxExport.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/DataFolderSetup.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QStringEncoder>
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

// Plans the import of a file and adds every row it can.
csv::ImportResult importAll(const Workstation& ws, const QString& path) {
    return csv::applyImport(ws, csv::planImport(ws, path), csv::ImportChoice::All);
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
        const csv::ImportPlan plan = csv::planImport(ws, csvPath);
        QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
        QVERIFY(plan.refused.isEmpty());
        QCOMPARE(plan.rows.size(), size_t(41));
        // Every row repeats the entry it was exported from.
        QCOMPARE(plan.newCount(), 0);
        const csv::ImportResult report = csv::applyImport(ws, plan, csv::ImportChoice::All);
        QCOMPARE(report.addedCount(), 41);
        QCOMPARE(report.added.front().text(Field::id), QString::number(nextId));
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

    void failedExportKeepsThePreviousFile_data() {
        QTest::addColumn<bool>("workbook");
        QTest::newRow("CSV") << false;
        QTest::newRow("XLSX") << true;
    }
    void failedExportKeepsThePreviousFile() {
        QFETCH(bool, workbook);
        DataFolder folder;
        Workstation ws = station(folder);
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines);
        folder.writeBytes("a", "poprzedni");
        files::FaultInjector faults;
        ws.faults = &faults;
        faults.failWritesAfter(100, ENOSPC);
        if (workbook)
            QVERIFY_THROWS_EXCEPTION(IoError, xlsx::exportCurrentList(ws, folder.file("a")));
        else
            QVERIFY_THROWS_EXCEPTION(IoError, csv::exportCurrentList(ws, folder.file("a")));
        ws.faults = nullptr;
        QCOMPARE(folder.readBytes("a"), QByteArray("poprzedni"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"a"}));
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
        QTest::newRow("NUL in a text") << int(Field::adres) << QStringLiteral("ul. A") + QChar(0)
                                       << "kolumna „Adres”: pole zawiera znak NUL (bajt zerowy)";
        QTest::newRow("NUL in a mark") << csv::kFirstGroupColumn << QString(QChar(0))
                                       << "kolumna „nieznana”: pole zawiera znak NUL (bajt "
                                          "zerowy)";
        QTest::newRow("NUL in the ID") << 0 << QStringLiteral("7") + QChar(0)
                                       << "kolumna „ID”: pole zawiera znak NUL (bajt zerowy)";
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
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(plan.refused.size(), 2);
        QCOMPARE(plan.refused[0].row, 3);
        QCOMPARE(plan.refused[0].reason, reason);
        QCOMPARE(plan.refused[1].row, 5);
        QCOMPARE(plan.refused[1].reason, QStringLiteral("64 kolumny zamiast 66"));
        QCOMPARE(csv::applyImport(ws, plan, csv::ImportChoice::All).addedCount(), 2);
        QCOMPARE(names(folder.readEntries(), 1), QStringList({"Pierwsza", "Trzecia"}));
    }

    void unterminatedQuoteIsSkippedAndTheOthersAdded() {
        DataFolder folder;
        const Workstation ws = station(folder);
        QString text = fileOf({rowNamed(QStringLiteral("Pierwsza"))});
        text += QStringLiteral(";;;\"Urwana;") + QString(62, QLatin1Char(';')) + "\r\n";
        text += csv::formatRow(rowNamed(QStringLiteral("Ostatnia"))) + "\r\n";
        folder.writeBytes("in.csv", text.toUtf8());
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(plan.refused.size(), 1);
        QCOMPARE(plan.refused[0].row, 3);
        QVERIFY(plan.refused[0].reason.contains(QStringLiteral("cudzysłów")));
        QCOMPARE(csv::applyImport(ws, plan, csv::ImportChoice::All).addedCount(), 2);
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
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QVERIFY(plan.refused.isEmpty());
        QCOMPARE(csv::applyImport(ws, plan, csv::ImportChoice::All).addedCount(), 1);
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
        QCOMPARE(importAll(ws, folder.file("in.csv")).addedCount(), 1);
        const EntryRecord added = folder.readEntries().back();
        QCOMPARE(added.text(Field::nazwa1), QStringLiteral("Spółdzielnia „Łąka”"));
        QCOMPARE(added.text(Field::miejscowosc), QStringLiteral("Źródła"));
    }

    void foreignFilesAreRefusedWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("empty") << QByteArray() << "Plik jest pusty.";
        QTest::newRow("three columns")
            << QByteArray("ID,Kod,Data\r\n1,A,B\r\n")
            << "Plik nie jest eksportem listy wpisów: jego pierwszy wiersz ma 3 kolumny, a "
               "powinien mieć 66 (rozdzielonych średnikami, przecinkami albo tabulatorami).";
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
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QCOMPARE(plan.refusal, refusal);
        QVERIFY(plan.rows.empty());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(editing_counter(folder), 2);
    }

    void failedImportAddsNothing() {
        DataFolder folder;
        Workstation ws = station(folder);
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        QList<QStringList> rows;
        for (int i = 0; i < 5; ++i)
            rows << rowNamed(QStringLiteral("Firma %1").arg(i));
        folder.writeBytes("in.csv", fileOf(rows).toUtf8());
        // The counter (4 bytes) is written, the new main file fails inside its third entry.
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        files::FaultInjector faults;
        ws.faults = &faults;
        faults.failWritesAfter(4 + 3 * EntryRecord::Size + 100, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, csv::applyImport(ws, plan, csv::ImportChoice::All));
        ws.faults = nullptr;
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(editing_counter(folder), 7); // IDs 2..6 taken, never given twice
        const csv::ImportResult again = csv::applyImport(ws, plan, csv::ImportChoice::All);
        QCOMPARE(again.added.front().text(Field::id), QStringLiteral("7"));
        QCOMPARE(folder.readEntries().size(), size_t(6));
    }

    void missingMainFileFailsBeforeAnything() {
        DataFolder folder;
        const Workstation ws = station(folder);
        folder.writeBytes("in.csv", fileOf({rowNamed("A")}).toUtf8());
        QFile::remove(ws.idFile());
        QVERIFY_THROWS_EXCEPTION(IoError, importAll(ws, folder.file("in.csv")));
        QVERIFY(!QFile::exists(ws.idFile()));
        QCOMPARE(folder.readEntries().size(), size_t(1));
        QVERIFY_THROWS_EXCEPTION(IoError, csv::planImport(ws, folder.file("brak.csv")));
    }

    void formulaCellsAreGuardedAndComeBackWhole() {
        DataFolder folder;
        const Workstation ws = station(folder);
        const QStringList texts = {QStringLiteral("=cmd|' /C calc'!A0"),
                                   QStringLiteral("@HYPERLINK(\"http://x\")"),
                                   QStringLiteral("+SUM(1;2)"),
                                   QStringLiteral("-2+3"),
                                   QStringLiteral("\tukryte"),
                                   QStringLiteral("\rpowrót"),
                                   QStringLiteral("'=już z apostrofem"),
                                   QStringLiteral("'zwykły apostrof"),
                                   QStringLiteral("a=b")};
        std::vector<EntryRecord> records = {entry("1", "Pierwsza")};
        for (int i = 0; i < texts.size(); ++i) {
            records.push_back(entry(QString::number(i + 2), texts[i], texts[i]));
            records.back().setText(Field::telefon, QStringLiteral("+48 12 345 67 89"));
        }
        folder.writeEntries(records);
        QStringList lines;
        Register(ws).buildList(ViewMode::Nazwa, lines);
        csv::exportCurrentList(ws, folder.file("f.csv"));

        // What a spreadsheet reads: each such cell begins with one more apostrophe.
        const csv::Parsed written = csv::parse(csv::decodeFile(folder.readBytes("f.csv")));
        QStringList cells;
        for (qsizetype r = 2; r < written.rows.size(); ++r) {
            cells << written.rows[r].fields[int(Field::nazwa1)];
            QCOMPARE(written.rows[r].fields[int(Field::telefon)],
                     QStringLiteral("'+48 12 345 67 89"));
        }
        QStringList expected;
        for (const QString& text : texts)
            expected << (text.startsWith(QLatin1String("'z")) || text.startsWith(QLatin1Char('a'))
                             ? text
                             : QLatin1Char('\'') + text);
        QCOMPARE(cells, expected);

        QCOMPARE(importAll(ws, folder.file("f.csv")).addedCount(), texts.size() + 1);
        const std::vector<EntryRecord> after = folder.readEntries();
        for (size_t i = 0; i < records.size(); ++i)
            QCOMPARE(withoutId(after[records.size() + i]), withoutId(records[i]));
    }

    // What Calc and Excel write by default: the separator, the encoding and the line ends vary.
    void spreadsheetDialectsAreRead_data() {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QString>("encodingShown");
        QTest::newRow("Calc: comma, UTF-8, LF") << QChar(',') << "UTF-8"
                                                << "\n"
                                                << "UTF-8";
        QTest::newRow("Excel on Polish Windows: semicolon, Windows-1250, CR LF")
            << QChar(';') << "Windows-1250"
            << "\r\n"
            << "Windows-1250";
        QTest::newRow("Excel CSV UTF-8: semicolon, BOM, CR LF") << QChar(';') << "UTF-8 BOM"
                                                                << "\r\n"
                                                                << "UTF-8";
        QTest::newRow("Excel text: tab, Windows-1250") << QChar('\t') << "Windows-1250"
                                                       << "\r\n"
                                                       << "Windows-1250";
        QTest::newRow("Excel Unicode text: tab, UTF-16 LE") << QChar('\t') << "UTF-16LE"
                                                            << "\r\n"
                                                            << "UTF-16";
        QTest::newRow("UTF-16 BE, comma") << QChar(',') << "UTF-16BE"
                                          << "\n"
                                          << "UTF-16";
    }
    void spreadsheetDialectsAreRead() {
        QFETCH(QChar, separator);
        QFETCH(QString, encoding);
        QFETCH(QString, lineEnd);
        QFETCH(QString, encodingShown);
        DataFolder folder;
        const Workstation ws = station(folder);
        QStringList row = rowNamed(QStringLiteral("Spółka \"Żuraw\", Łódź; oddział"));
        row[int(Field::adres)] = QStringLiteral("ul. Długa 1\r\nII piętro");
        row[int(Field::regon)] = QStringLiteral("012345675");
        row[int(Field::nip)] = QStringLiteral("'+48"); // as a spreadsheet keeps a guarded cell
        row[csv::kFirstCategoryColumn + 1] = QStringLiteral("tak");
        QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults()), separator) +
                       lineEnd + csv::formatRow(row, separator) + lineEnd;
        QByteArray bytes;
        if (encoding == QLatin1String("Windows-1250"))
            bytes = cp1250::encode(text);
        else if (encoding == QLatin1String("UTF-16LE"))
            bytes = QByteArray("\xFF\xFE") +
                    QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        else if (encoding == QLatin1String("UTF-16BE"))
            bytes =
                QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)(text);
        else
            bytes = (encoding.endsWith(QLatin1String("BOM")) ? csv::fileHeader() : QByteArray()) +
                    text.toUtf8();
        folder.writeBytes("in.csv", bytes);
        const csv::ImportPlan plan = csv::planImport(ws, folder.file("in.csv"));
        QVERIFY2(plan.refusal.isEmpty(), qPrintable(plan.refusal));
        QCOMPARE(plan.separator, separator);
        QCOMPARE(plan.encoding, encodingShown);
        QVERIFY(plan.refused.isEmpty());
        QCOMPARE(plan.rows.size(), size_t(1));
        const EntryRecord& r = plan.rows[0].record;
        QCOMPARE(r.text(Field::nazwa1), row[int(Field::nazwa1)]);
        QCOMPARE(r.text(Field::adres), row[int(Field::adres)]);
        QCOMPARE(r.text(Field::regon), QStringLiteral("012345675"));
        QCOMPARE(r.text(Field::nip), QStringLiteral("+48"));
        QVERIFY(r.category(2));
    }

private:
    static qint32 editing_counter(const DataFolder& folder) {
        return int32FromBytes(folder.readBytes("ADMINI/id_ks.dat"));
    }
};

KESTRANA_TEST(CsvExchangeTest)
#include "CsvExchangeTest.moc"
