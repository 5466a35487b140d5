#include "exchange/LastImport.h"
#include "exchange/CsvColumns.h"
#include "exchange/CsvText.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportTexts.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "register/Editing.h"
#include "register/Startup.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

const QString kToday = QStringLiteral("2026-12-07");
const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 5, 9));

void writeCsv(const DataFolder& folder, const QString& name, const QStringList& names) {
    QString text = csv::formatRow(csv::headerRow(CategoryNames::defaults())) + "\r\n";
    for (const QString& n : names) {
        QStringList row(csv::kColumnCount);
        row[int(Field::nazwa1)] = n;
        text += csv::formatRow(row) + "\r\n";
    }
    folder.writeBytes(name, text.toUtf8());
}

QStringList ids(const std::vector<EntryRecord>& records) {
    QStringList out;
    for (const EntryRecord& r : records)
        out << r.text(Field::id);
    return out;
}

const auto nobodyElse = [](const QString&) { return false; };

// A register of three entries into which "in.csv" (Nowa A, Nowa B, Nowa C) was imported as IDs
// 10 to 12, then one entry added by hand as ID 13.
struct Imported {
    DataFolder folder;
    Workstation ws;
    csv::ImportPlan plan;
    csv::ImportResult result;

    Imported() {
        folder.writeEntries({entry("1", "Stara 1"), entry("2", "Stara 2"), entry("3", "Stara 3")});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(10));
        ws = startup::prepareWorkstation(folder.path(), false, kToday);
        writeCsv(folder, "in.csv", {"Nowa A", "Nowa B", "Nowa C"});
        plan = csv::planImport(ws, folder.file("in.csv"));
        result = csv::applyImport(ws, plan, csv::ImportChoice::All);
        csv::storeLastImport(ws, plan, result, kWhen);
        editing::appendEntry(ws, entry("13", "Ręczna"));
    }
};

} // namespace

class LastImportTest : public QObject {
    Q_OBJECT

private slots:
    void reportIsWrittenBesideTheSource() {
        Imported s;
        const QString path = csv::writeImportReport(s.ws, s.plan, s.result, kWhen);
        QCOMPARE(path, s.folder.file("in-raport-importu-2026-12-07-140509.txt"));
        const QByteArray bytes = s.folder.readBytes("in-raport-importu-2026-12-07-140509.txt");
        QVERIFY(bytes.endsWith("\r\n"));
        const QStringList lines = cp1250::decode(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3),
                 QStringList({"Raport importu do rejestru Kestrana", "Data: 2026-12-07 14:05:09",
                              "Folder danych: " + s.folder.path()}));
        QVERIFY(lines.contains(QStringLiteral("Wybór: dodać wszystkie wiersze.")));
        QVERIFY(lines.contains(QStringLiteral("Dodano 3 wpisy (ID 10–12).")));
        const qsizetype added = lines.indexOf(QStringLiteral("Dodane wpisy:"));
        QVERIFY(added > 0);
        QCOMPARE(lines.mid(added + 1, 3),
                 QStringList({"wiersz 2: ID 10 „Nowa A”", "wiersz 3: ID 11 „Nowa B”",
                              "wiersz 4: ID 12 „Nowa C”"}));
        // A second report of the same second gets a name of its own.
        QCOMPARE(csv::writeImportReport(s.ws, s.plan, s.result, kWhen),
                 s.folder.file("in-raport-importu-2026-12-07-140509-2.txt"));
    }

    // A source in a folder the user may only read: the report goes to the workstation's folder;
    // any other failure is reported.
    void reportFallsBackToTheWorkstation_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("fallsBack");
        QTest::newRow("no permission") << EACCES << true;
        QTest::newRow("read-only file system") << EROFS << true;
        QTest::newRow("disk full") << ENOSPC << false;
    }
    void reportFallsBackToTheWorkstation() {
        QFETCH(int, error);
        QFETCH(bool, fallsBack);
        Imported s;
        QVERIFY(QDir(s.folder.path()).mkdir("zrodlo"));
        csv::ImportPlan plan = s.plan;
        plan.source = s.folder.file("zrodlo/in.csv");
        files::FaultInjector faults;
        faults.failCall(files::Call::Open, 1, error, QStringLiteral("zrodlo/"));
        Workstation ws = s.ws;
        ws.faults = &faults;
        if (!fallsBack) {
            QVERIFY_THROWS_EXCEPTION(IoError, csv::writeImportReport(ws, plan, s.result, kWhen));
            return;
        }
        QCOMPARE(csv::writeImportReport(ws, plan, s.result, kWhen),
                 QDir(ws.workDir).filePath("in-raport-importu-2026-12-07-140509.txt"));
        QVERIFY(QDir(s.folder.file("zrodlo")).isEmpty());
    }

    void undoRemovesExactlyTheImportedEntries() {
        Imported s;
        const std::optional<csv::LastImport> last = csv::readLastImport(s.ws);
        QVERIFY(last);
        QCOMPARE(last->source, s.folder.file("in.csv"));
        QCOMPARE(last->when, kWhen);
        QCOMPARE(last->entries.size(), 3);
        const csv::UndoResult undone = csv::undoImport(s.ws, *last, nobodyElse);
        QVERIFY2(undone.refusal.isEmpty(), qPrintable(undone.refusal));
        QCOMPARE(undone.removed, 3);
        QCOMPARE(undone.alreadyGone, 0);
        QCOMPARE(ids(s.folder.readEntries()), QStringList({"1", "2", "3", "13"}));
        QVERIFY(!csv::readLastImport(s.ws));                                  // undone once only
        QCOMPARE(int32FromBytes(s.folder.readBytes("ADMINI/id_ks.dat")), 13); // IDs never reused
    }

    void anEntryDeletedMeanwhileIsPassedOver() {
        Imported s;
        QVERIFY(editing::deleteEntry(s.ws, QStringLiteral("11"), 4));
        const csv::UndoResult undone =
            csv::undoImport(s.ws, *csv::readLastImport(s.ws), nobodyElse);
        QCOMPARE(undone.removed, 2);
        QCOMPARE(undone.alreadyGone, 1);
        QCOMPARE(ids(s.folder.readEntries()), QStringList({"1", "2", "3", "13"}));
    }

    void undoIsRefusedAndRemovesNothing_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("an entry changed since")
            << "changed"
            << "Nie można cofnąć ostatniego importu: wpisy zmieniono od importu (ID 11). Nic nie "
               "usunięto.";
        QTest::newRow("an entry shown on another workstation")
            << "held"
            << "Nie można cofnąć ostatniego importu: wpisy są otwarte na innym stanowisku (ID 12). "
               "Nic nie usunięto; spróbuj ponownie, gdy zostaną zwolnione.";
        QTest::newRow("the workstation now works on another folder")
            << "folder"
            << "Ostatni import z tego stanowiska dotyczył innego folderu danych (%1), dlatego nie "
               "można go tu cofnąć.";
    }
    void undoIsRefusedAndRemovesNothing() {
        QFETCH(QString, change);
        QFETCH(QString, refusal);
        Imported s;
        Workstation ws = s.ws;
        DataFolder other;
        if (change == QLatin1String("changed")) {
            EntryRecord buffer;
            EntryFormValues form;
            form[Field::id] = QStringLiteral("11");
            form[Field::nazwa1] = QStringLiteral("Nowa B po zmianie");
            QVERIFY(editing::saveEditedEntry(s.ws, buffer, form, QStringLiteral("11"), 4));
        } else if (change == QLatin1String("folder")) {
            ws = startup::prepareWorkstation(other.path(), false, kToday);
            ws.workDir = s.ws.workDir; // the same workstation, switched to another folder
        }
        const QByteArray before = s.folder.readBytes("DANE/spis_ks.dat");
        const std::optional<csv::LastImport> last = csv::readLastImport(ws);
        QVERIFY(last);
        const csv::UndoResult undone = csv::undoImport(
            ws, *last, [&](const QString& id) { return change == "held" && id == "12"; });
        QCOMPARE(undone.refusal, refusal.contains("%1") ? refusal.arg(s.folder.path()) : refusal);
        QCOMPARE(undone.removed, 0);
        QCOMPARE(s.folder.readBytes("DANE/spis_ks.dat"), before);
        QVERIFY(csv::readLastImport(s.ws)); // still there for a later try
    }

    void failedUndoLeavesTheMainFileWhole() {
        Imported s;
        const QByteArray before = s.folder.readBytes("DANE/spis_ks.dat");
        files::FaultInjector faults;
        Workstation ws = s.ws;
        ws.faults = &faults;
        faults.failWritesAfter(EntryRecord::Size + 10, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 csv::undoImport(ws, *csv::readLastImport(s.ws), nobodyElse));
        QCOMPARE(s.folder.readBytes("DANE/spis_ks.dat"), before);
        QVERIFY(csv::readLastImport(s.ws));
    }

    void anImportThatAddedNothingKeepsTheRecord() {
        Imported s;
        const QByteArray record = s.folder.readBytes("ADMINI/ostatni_import.txt");
        QVERIFY(record.startsWith("Kestrana: ostatni import\r\nfolder "));
        const csv::ImportPlan again = csv::planImport(s.ws, s.folder.file("in.csv"));
        const csv::ImportResult none = csv::applyImport(s.ws, again, csv::ImportChoice::OnlyNew);
        QCOMPARE(none.addedCount(), 0);
        csv::storeLastImport(s.ws, again, none, kWhen.addSecs(60));
        QCOMPARE(s.folder.readBytes("ADMINI/ostatni_import.txt"), record);
    }

    void damagedRecordIsReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other file") << QByteArray("coś innego\r\n");
        QTest::newRow("cut short") << QByteArray("Kestrana: ostatni import\r\nfolder %2Fa\r\n");
        QTest::newRow("bad entry line") << QByteArray("Kestrana: ostatni import\r\nfolder %2Fa\r\n"
                                                      "plik b\r\nczas 2026-12-07T14:05:09\r\n"
                                                      "wpis 10\r\n");
    }
    void damagedRecordIsReported() {
        QFETCH(QByteArray, bytes);
        DataFolder folder;
        const Workstation ws = startup::prepareWorkstation(folder.path(), false, kToday);
        folder.writeBytes("ADMINI/ostatni_import.txt", bytes);
        try {
            csv::readLastImport(ws);
            QFAIL("no error");
        } catch (const IoError& error) {
            QVERIFY2(error.text().startsWith(
                         QStringLiteral("Nie udało się odczytać zapisu ostatniego importu ")) &&
                         error.platformText().startsWith(
                             QStringLiteral("Zapis ostatniego importu jest uszkodzony")),
                     qPrintable(error.text()));
        }
    }
};

KESTRANA_TEST(LastImportTest)
#include "LastImportTest.moc"
