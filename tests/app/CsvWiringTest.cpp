#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
#include "platform/CheckedFile.h"
#include "register/Register.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

const QString kFilter = QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)");

// Entries 10..15; the even ones are in category 3.
void sixEntries(const DataFolder& folder) {
    std::vector<EntryRecord> records;
    for (int id = 10; id < 16; ++id) {
        records.push_back(entry(QString::number(id), QStringLiteral("Firma %1").arg(id)));
        records.back().setCategory(3, id % 2 == 0);
    }
    folder.writeEntries(records);
    folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(30));
}

QStringList rowNamed(const QString& name, int columns = csv::kColumnCount) {
    QStringList row(columns);
    row[static_cast<int>(Field::nazwa1)] = name;
    return row;
}

// in.csv: the header and these rows.
void writeRows(const DataFolder& folder, const QList<QStringList>& rows) {
    QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
    for (const QStringList& row : rows)
        text += csv::formatRow(row) + "\r\n";
    folder.writeBytes("in.csv", text.toUtf8());
}

// The report of an import at the session's fixed time.
const QString kReport = QStringLiteral("in-raport-importu-2007-03-05-140509.txt");

} // namespace

class CsvWiringTest : public QObject {
    Q_OBJECT

private slots:
    void exportWritesTheListAsShown() {
        DataFolder folder;
        sixEntries(folder);
        WindowSession s;
        s.start(folder.path());
        QVERIFY(s.window->buildList([](const EntryRecord& r) { return r.category(3); }));
        // Another program lists every entry meanwhile: the export is still this window's list.
        Register other(s.window->workstation());
        QStringList everyLine;
        other.buildList(ViewMode::Nazwa, everyLine);
        QCOMPARE(files::recordCount(folder.file("DANE/sp_ks.dat"), EntryRecord::Size), 6);
        s.dialogs.expectSaveFile(folder.file("lista"), QStringLiteral("Eksport listy do CSV"));
        s.prompts.expectInformation(
            QStringLiteral("Zapisano 3 wpisy do pliku %1.").arg(folder.file("lista.csv")));
        s.trigger("EksportCSV1");
        QVERIFY(s.dialogs.done());
        QCOMPARE(s.dialogs.lastFilter(), kFilter);
        const csv::Parsed parsed = csv::parse(csv::decodeFile(folder.readBytes("lista.csv")));
        QStringList ids;
        for (const csv::Row& row : parsed.rows)
            ids << row.fields[0];
        QCOMPARE(ids, QStringList({"ID", "10", "12", "14"}));

        // Cancelled: nothing is written or said.
        s.dialogs.expectSaveFile(QString());
        s.trigger("EksportCSV1");
    }

    void importAndUndoAreForTheBossOnly() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Nowa")});
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.start(folder.path());
        for (const char* action : {"ImportCSV1", "CofnijImport1"}) {
            s.prompts.expectInformation(QStringLiteral("Nie masz uprawnień do tej operacji. Jest "
                                                       "ona dostępna jedynie z poziomu Szefa."));
            s.trigger(action); // no file dialog either: the scripted one would fail the test
            QVERIFY(s.prompts.done());
        }
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
    }

    void importAddsAfterThePreviewAndShowsTheFirstNewEntry() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Nowa A"), rowNamed("Za krótka", csv::kColumnCount - 2),
                           rowNamed("Nowa B")});
        WindowSession s;
        s.startAsBoss(folder.path());
        s.dialogs.expectOpenFile(folder.file("in.csv"), QStringLiteral("Import z CSV"));
        s.dialogs.expectChoice(QStringLiteral("Dodaj wszystkie"), QStringLiteral("Import z CSV"));
        s.prompts.expectInformation(
            QStringLiteral("Dodano 2 wpisy (ID 30–31).\nRaport: %1").arg(folder.file(kReport)));
        s.trigger("ImportCSV1");
        QCOMPARE(s.dialogs.lastFilter(), kFilter);
        QCOMPARE(s.dialogs.lastButtons(),
                 QStringList({"Dodaj wszystkie", "Dodaj tylko nowe", "Anuluj"}));
        QVERIFY(s.dialogs.lastSummary().contains(QStringLiteral("Wiersze do dodania: 2.\n"
                                                                "Wiersze odrzucone: 1.")));
        QCOMPARE(s.dialogs.lastDetails(), QStringLiteral("Wiersze odrzucone (nie zostaną "
                                                         "dodane):\nwiersz 3: 64 kolumny zamiast "
                                                         "66"));
        QCOMPARE(s.lista()->count(), 8);
        QCOMPARE(s.field("id"), QStringLiteral("30"));
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Nowa A"));
        QVERIFY(QFile::exists(folder.file("KOSZ/30.p")));
        QVERIFY(!QFile::exists(folder.file("KOSZ/10.p")));
        QCOMPARE(int32FromBytes(folder.readBytes("ADMINI/id_ks.dat")), 32);
        QVERIFY(QFile::exists(folder.file(kReport)));
    }

    void onlyNewRowsOrNothing() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Firma 12"), rowNamed("Nowa")});
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.startAsBoss(folder.path());
        // Cancelled in the preview: nothing written, no report.
        s.dialogs.expectOpenFile(folder.file("in.csv"));
        s.dialogs.expectChoice(QStringLiteral("Anuluj"));
        s.trigger("ImportCSV1");
        QVERIFY(s.dialogs.done());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QVERIFY(!QFile::exists(folder.file(kReport)));
        QVERIFY(s.dialogs.lastDetails().endsWith(
            QStringLiteral("wiersz 2: Firma 12 – jak wpis ID 12 „Firma 12” (ta sama nazwa i "
                           "miejscowość)")));

        s.dialogs.expectOpenFile(folder.file("in.csv"));
        s.dialogs.expectChoice(QStringLiteral("Dodaj tylko nowe"));
        s.prompts.expectInformation(
            QStringLiteral("Dodano 1 wpis (ID 30).\nPominięte wiersze zgodne z wpisami w "
                           "rejestrze: 1.\nRaport: %1")
                .arg(folder.file(kReport)));
        s.trigger("ImportCSV1");
        QVERIFY(s.prompts.done());
        QCOMPARE(s.lista()->count(), 7);
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Nowa"));
    }

    void nothingToAddIsSaidWithoutAChoice() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Krótka", 5)});
        WindowSession s;
        s.startAsBoss(folder.path());
        s.dialogs.expectOpenFile(folder.file("in.csv"));
        s.prompts.expectInformation(
            QStringLiteral("Plik nie ma wierszy, które można dodać.\nPlik: %1 (kodowanie UTF-8, "
                           "separator: średnik).\nWiersze do dodania: 0.\nWiersze odrzucone: 1.\n"
                           "Wiersze, które wyglądają na uszkodzone przez arkusz: 0.\nWiersze "
                           "zgodne z wpisami w rejestrze (NIP albo nazwa i miejscowość): 0, nowe: "
                           "0.\n\nWiersze odrzucone (nie zostaną dodane):\nwiersz 2: 5 kolumn "
                           "zamiast 66")
                .arg(folder.file("in.csv")));
        s.trigger("ImportCSV1");
        QVERIFY(s.prompts.done());
    }

    void lastImportIsUndone() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Nowa A"), rowNamed("Nowa B")});
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.startAsBoss(folder.path());
        s.prompts.expectInformation(
            QStringLiteral("Na tym stanowisku nie ma importu, który można cofnąć."));
        s.trigger("CofnijImport1");
        QVERIFY(s.prompts.done());

        s.dialogs.expectOpenFile(folder.file("in.csv"));
        s.dialogs.expectChoice(QStringLiteral("Dodaj wszystkie"));
        s.prompts.expectInformation(
            QStringLiteral("Dodano 2 wpisy (ID 30–31).\nRaport: %1").arg(folder.file(kReport)));
        s.trigger("ImportCSV1");
        QCOMPARE(s.field("id"), QStringLiteral("30")); // shown, so locked by this program

        const QString question =
            QStringLiteral("Cofnąć import pliku in.csv z 2007-03-05 14:05 (2 wpisy) ?");
        s.prompts.expectQuestion(question, false);
        s.trigger("CofnijImport1");
        QCOMPARE(s.lista()->count(), 8);

        s.prompts.expectQuestion(question, true);
        s.prompts.expectInformation(QStringLiteral("Usunięto 2 wpisy z ostatniego importu."));
        s.trigger("CofnijImport1");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
        QCOMPARE(s.lista()->count(), 6);
        QCOMPARE(s.field("id"), QStringLiteral("10"));
        QVERIFY(!QFile::exists(folder.file("KOSZ/30.p")));

        s.prompts.expectInformation(
            QStringLiteral("Na tym stanowisku nie ma importu, który można cofnąć."));
        s.trigger("CofnijImport1");
        QVERIFY(s.prompts.done());
    }

    void undoOfAChangedEntryIsRefused() {
        DataFolder folder;
        sixEntries(folder);
        writeRows(folder, {rowNamed("Nowa A")});
        WindowSession s;
        s.startAsBoss(folder.path());
        s.dialogs.expectOpenFile(folder.file("in.csv"));
        s.dialogs.expectChoice(QStringLiteral("Dodaj wszystkie"));
        s.prompts.expectInformation(
            QStringLiteral("Dodano 1 wpis (ID 30).\nRaport: %1").arg(folder.file(kReport)));
        s.trigger("ImportCSV1");
        s.setField("nazwa1", QStringLiteral("Nowa A, poprawiona"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        s.prompts.expectQuestion(
            QStringLiteral("Cofnąć import pliku in.csv z 2007-03-05 14:05 (1 wpis) ?"), true);
        s.prompts.expectInformation(QStringLiteral("Nie można cofnąć ostatniego importu: wpisy "
                                                   "zmieniono od importu (ID 30). Nic nie "
                                                   "usunięto."));
        s.trigger("CofnijImport1");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
    }

    void xlsxExportWritesTheListAsShown() {
        DataFolder folder;
        sixEntries(folder);
        WindowSession s;
        s.start(folder.path());
        QVERIFY(s.window->buildList([](const EntryRecord& r) { return r.category(3); }));
        s.dialogs.expectSaveFile(folder.file("lista"),
                                 QStringLiteral("Eksport listy do arkusza (XLSX)"));
        s.prompts.expectInformation(
            QStringLiteral("Zapisano 3 wpisy do pliku %1.").arg(folder.file("lista.xlsx")));
        s.trigger("EksportXLSX1");
        QVERIFY(s.prompts.done());
        QCOMPARE(s.dialogs.lastFilter(), QStringLiteral("Arkusze XLSX (*.xlsx);;Wszystkie pliki "
                                                        "(*)"));
        QVERIFY(folder.readBytes("lista.xlsx").startsWith("PK\x03\x04")); // a zip package

        // A folder that cannot be written: the platform's text, no file.
        s.dialogs.expectSaveFile(folder.file("brak/lista.xlsx"));
        s.prompts.expectError(QStringLiteral("brak/lista.xlsx"));
        s.trigger("EksportXLSX1");
        QVERIFY(s.prompts.done());
    }

    void unreadableFileIsShownAsAnError() {
        DataFolder folder;
        sixEntries(folder);
        WindowSession s;
        s.startAsBoss(folder.path());
        s.dialogs.expectOpenFile(folder.file("brak.csv"));
        s.prompts.expectError(QStringLiteral("brak.csv"));
        s.trigger("ImportCSV1");
        QCOMPARE(s.lista()->count(), 6);
        QCOMPARE(s.field("id"), QStringLiteral("10"));
    }
};

KESTRANA_TEST(CsvWiringTest)
#include "CsvWiringTest.moc"
