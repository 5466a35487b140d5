#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
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

    void importIsForTheBossOnly() {
        DataFolder folder;
        sixEntries(folder);
        folder.writeBytes("in.csv", (csv::formatRow(csv::headerRow(CategoryNames::defaults())) +
                                     "\r\n" + csv::formatRow(rowNamed("Nowa")) + "\r\n")
                                        .toUtf8());
        const QByteArray main = folder.readBytes("DANE/spis_ks.dat");
        WindowSession s;
        s.start(folder.path());
        s.prompts.expectInformation(QStringLiteral("Nie masz uprawnień do tej operacji. Jest ona "
                                                   "dostępna jedynie z poziomu Szefa."));
        s.trigger("ImportCSV1"); // no file dialog either: the scripted one would fail the test
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), main);
    }

    void importAddsReportsAndShowsTheFirstNewEntry() {
        DataFolder folder;
        sixEntries(folder);
        QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
        text += csv::formatRow(rowNamed("Nowa A")) + "\r\n";
        text += csv::formatRow(rowNamed("Za krótka", csv::kColumnCount - 2)) + "\r\n";
        text += csv::formatRow(rowNamed("Nowa B")) + "\r\n";
        folder.writeBytes("in.csv", text.toUtf8());
        WindowSession s;
        s.startAsBoss(folder.path());
        s.dialogs.expectOpenFile(folder.file("in.csv"), QStringLiteral("Import z CSV"));
        s.prompts.expectInformation(QStringLiteral("Dodano 2 wpisy (ID 30–31).\n"
                                                   "Pominięto 1 wiersz:\n"
                                                   "wiersz 3: 64 kolumny zamiast 66"));
        s.trigger("ImportCSV1");
        QCOMPARE(s.dialogs.lastFilter(), kFilter);
        QCOMPARE(s.lista()->count(), 8);
        QCOMPARE(s.field("id"), QStringLiteral("30"));
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Nowa A"));
        QVERIFY(QFile::exists(folder.file("KOSZ/30.p")));
        QVERIFY(!QFile::exists(folder.file("KOSZ/10.p")));
        QCOMPARE(int32FromBytes(folder.readBytes("ADMINI/id_ks.dat")), 32);
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
