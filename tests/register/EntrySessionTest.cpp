#include "register/EntrySession.h"
#include "register/Editing.h"
#include "register/EntryView.h"
#include "register/FileLock.h"
#include "register/FileStore.h"
#include "register/Search.h"
#include "register/Startup.h"
#include "station/LockWait.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::ScriptedPrompts;

namespace {

const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");
const QString kNothingLoaded = QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                              "Wybierz wpis z listy i ponów operację.");
const QString kEntryGone =
    QStringLiteral("Tego wpisu nie ma już w bazie: usunął go w międzyczasie inny użytkownik.\n"
                   "Nic nie zostało zapisane.");

// The window as plain values: what the session last showed.
class PlainView : public EntryView {
public:
    EntryFormValues formValues() const override { return form; }
    void showForm(const EntryFormValues& values) override { form = values; }
    void showList(const EntryList& list) override {
        lines = list.lines();
        selected = lines.isEmpty() ? -1 : 0;
    }
    int selectedRow() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    void showAddMode(bool on) override { caption = on ? "Zaniechaj" : "Dodaj wpis"; }
    void showContractPicture(const QByteArray& picture) override { pictureSize = picture.size(); }

    // The user clicks line `row`.
    void click(EntrySession& session, int row) {
        selected = row;
        session.selectLine();
    }

    EntryFormValues form;
    QStringList lines;
    int selected = -1;
    QString caption = QStringLiteral("Dodaj wpis");
    qsizetype pictureSize = -1;
};

// One program's editing session on a data folder, without a window.
struct Program {
    explicit Program(const DataFolder& folder)
        : ws(startup::prepareWorkstation(folder.path(), false, QStringLiteral("2026-12-07"))),
          store(ws), reg(ws, store), session(ws, reg, prompts, view) {}

    QString shownId() const { return view.form[Field::id]; }

    Workstation ws;
    FileStore store;
    Register reg;
    ScriptedPrompts prompts;
    PlainView view;
    EntrySession session;
};

// Entries with IDs 10 to 14, "Firma 10" ... "Firma 14"; the counter gives 15 next.
void fiveEntries(const DataFolder& folder) {
    std::vector<EntryRecord> records;
    for (int id = 10; id < 15; ++id)
        records.push_back(entry(QString::number(id), QStringLiteral("Firma %1").arg(id)));
    folder.writeEntries(records);
    folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(15));
}

QStringList ids(const std::vector<EntryRecord>& records) {
    QStringList out;
    for (const EntryRecord& r : records)
        out << r.text(Field::id);
    return out;
}

} // namespace

class EntrySessionTest : public QObject {
    Q_OBJECT

private slots:
    void startShowsTheFirstEntryLocked() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        QCOMPARE(p.view.lines.size(), 5);
        QCOMPARE(p.shownId(), QStringLiteral("10"));
        QCOMPARE(p.session.shownEntry().text(Field::nazwa1), QStringLiteral("Firma 10"));
        QVERIFY(p.view.pictureSize > 0);
        QVERIFY(QFile::exists(folder.file("KOSZ/10.p")));
        // The list's record numbers are kept beside its lines.
        for (int row = 0; row < 5; ++row)
            QCOMPARE(p.session.list().recordNumber(row), row + 1);
    }

    // Another program shows entry 12: selecting it is refused, the form stays blank, and the
    // blank form can be neither saved nor deleted.
    void refusalAfterALockConflict() {
        DataFolder folder;
        fiveEntries(folder);
        Program other(folder);
        QVERIFY(other.session.start());
        other.view.click(other.session, 2);
        QCOMPARE(other.shownId(), QStringLiteral("12"));

        Program p(folder);
        QVERIFY(p.session.start());
        p.prompts.expectInformation(kBusy);
        p.view.click(p.session, 2);
        QCOMPARE(p.shownId(), QString());
        QCOMPARE(p.view.form[Field::nazwa1], QString());
        QVERIFY(p.session.shownEntry().text(Field::id).isEmpty());
        QVERIFY(!QFile::exists(folder.file("KOSZ/10.p"))); // its own lock went before the check

        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        p.prompts.expectInformation(kNothingLoaded);
        p.session.save();
        p.prompts.expectInformation(kNothingLoaded);
        p.session.remove();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);

        // Enter shows the held entry without its lock; changing it is still refused.
        p.session.reloadLine();
        QCOMPARE(p.shownId(), QStringLiteral("12"));
        p.view.form[Field::nazwa1] = QStringLiteral("Cudza zmiana");
        p.prompts.expectInformation(kBusy);
        p.session.save();
        p.prompts.expectInformation(kBusy);
        p.session.remove();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        QVERIFY(QFile::exists(folder.file("KOSZ/12.p")));
    }

    // An entry whose ID is empty is shown, locked under the lock its empty ID names, and saved
    // like any other.
    void entryWithoutIdIsSaved() {
        DataFolder folder;
        folder.writeEntries(
            {entry("10", "Firma 10"), entry("", "Bez numeru"), entry("12", "Firma 12")});
        Program p(folder);
        QVERIFY(p.session.start());
        const int row = p.session.list().rowOfRecord(2);
        p.view.click(p.session, row);
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Bez numeru"));
        QVERIFY(QFile::exists(folder.file("KOSZ/.p")));

        p.view.form[Field::nazwa1] = QStringLiteral("Nadal bez numeru");
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.session.save();
        QVERIFY(p.prompts.done());
        const auto after = folder.readEntries();
        QCOMPARE(ids(after), (QStringList{"10", "", "12"}));
        QCOMPARE(after[1].text(Field::nazwa1), QStringLiteral("Nadal bez numeru"));
        QCOMPARE(after[1].text(Field::datamodyfikacji), QStringLiteral("2026-12-07"));

        // The lock rule stays: another workstation is refused the entry.
        Program other(folder);
        QVERIFY(other.session.start());
        other.prompts.expectInformation(kBusy);
        other.view.click(other.session, other.session.list().rowOfRecord(2));
        QCOMPARE(other.view.form[Field::nazwa1], QString());
    }

    void saveOfAnEntryDeletedMeanwhile() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.view.click(p.session, 3);
        QCOMPARE(p.shownId(), QStringLiteral("13"));
        // A program that ignores locks deletes the entry.
        QVERIFY(editing::deleteEntry(p.ws, QStringLiteral("13"), 3));
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");

        p.view.form[Field::nazwa1] = QStringLiteral("Zmiana");
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.prompts.expectInformation(kEntryGone);
        p.session.save();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        QCOMPARE(ids(folder.readEntries()), QStringList({"10", "11", "12", "14"}));

        p.prompts.expectQuestion(QStringLiteral("Usunąć wpis ?"), true);
        p.prompts.expectInformation(kEntryGone);
        p.session.remove();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        // The list was built again: the deleted entry's line is gone.
        QCOMPARE(p.view.lines.size(), 4);
    }

    // A save finds its entry by ID, wherever another workstation's sort has moved it.
    void saveAfterAnotherWorkstationsSort() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.view.click(p.session, 1); // entry 11 at position 1
        sortRegister(p.ws, SortField::Nazwa1, true);
        p.view.form[Field::telefon] = QStringLiteral("22 111");
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.session.save();
        const auto after = folder.readEntries();
        QCOMPARE(ids(after), QStringList({"14", "13", "12", "11", "10"}));
        QCOMPARE(after[3].text(Field::telefon), QStringLiteral("22 111"));
        QCOMPARE(after[3].text(Field::datamodyfikacji), QStringLiteral("2026-12-07"));
        // The saved entry's line is selected in the new list, by its record number.
        QCOMPARE(p.view.selected, 3);
        QCOMPARE(p.shownId(), QStringLiteral("11"));
    }

    void addThenDelete() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.view.click(p.session, 2);
        p.session.toggleAddMode();
        QVERIFY(p.session.addMode());
        QCOMPARE(p.view.caption, QStringLiteral("Zaniechaj"));
        QCOMPARE(p.view.form, EntryFormValues{});
        p.view.form[Field::nazwa1] = QStringLiteral("Nowa");
        p.view.form[Field::datamodyfikacji] = QStringLiteral("1999-01-01");
        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.session.save();
        QVERIFY(!p.session.addMode());
        QCOMPARE(p.view.caption, QStringLiteral("Dodaj wpis"));
        const auto added = folder.readEntries();
        QCOMPARE(ids(added), QStringList({"10", "11", "12", "13", "14", "15"}));
        QCOMPARE(added[5].text(Field::nazwa1), QStringLiteral("Nowa"));
        QCOMPARE(added[5].text(Field::datamodyfikacji), QStringLiteral("2026-12-07"));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(16));
        // KOSZ/wpis.dat keeps the buffer as it was before the new entry: entry 12.
        QCOMPARE(EntryRecord::fromBytes(folder.readBytes("KOSZ/wpis.dat")).text(Field::id),
                 QStringLiteral("12"));
        QCOMPARE(p.view.selected, 5);
        QCOMPARE(p.shownId(), QStringLiteral("15"));
        QVERIFY(QFile::exists(folder.file("KOSZ/15.p")));

        p.prompts.expectQuestion(QStringLiteral("Usunąć wpis ?"), true);
        p.prompts.expectInformation(QStringLiteral("Wpis został usunięty."));
        p.session.remove();
        QCOMPARE(ids(folder.readEntries()), QStringList({"10", "11", "12", "13", "14"}));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(16)); // IDs are never reused
        QCOMPARE(p.view.lines.size(), 5);
        QCOMPARE(p.shownId(), QStringLiteral("10"));
        QVERIFY(!QFile::exists(folder.file("KOSZ/15.p")));
    }

    void cancellingAddModeShowsTheSelectedEntryAgain() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.view.click(p.session, 4);
        p.session.toggleAddMode();
        p.view.form[Field::nazwa1] = QStringLiteral("porzucona");
        p.session.toggleAddMode();
        QVERIFY(!p.session.addMode());
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Firma 14"));
        QCOMPARE(folder.readEntries().size(), size_t(5));
    }

    void deletingTheLastLineIsRefused() {
        DataFolder folder;
        folder.writeEntries({entry("10", "Jedyna")});
        Program p(folder);
        QVERIFY(p.session.start());
        p.prompts.expectInformation(QStringLiteral("Nie można skasować ostatniego wpisu."));
        p.session.remove();
        QCOMPARE(folder.readEntries().size(), size_t(1));
    }

    void rememberAndInsert() {
        DataFolder folder;
        fiveEntries(folder);
        {
            EntryRecord withCategory = entry("13", "Firma 13");
            withCategory.setCategory(3, true);
            auto records = folder.readEntries();
            records[3] = withCategory;
            folder.writeEntries(records);
        }
        Program p(folder);
        QVERIFY(p.session.start());
        // "Wstaw wpis" before anything was remembered: the platform's error, the form as it was.
        p.prompts.expectError(QStringLiteral("wpis_ks.dat"));
        p.session.insertRemembered();
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Firma 10"));

        p.view.form[Field::telefon] = QStringLiteral("22 555");
        p.session.remember();
        QCOMPARE(EntryRecord::fromBytes(folder.readBytes("KOSZ/wpis_ks.dat")).text(Field::telefon),
                 QStringLiteral("22 555"));
        p.view.click(p.session, 3);
        QVERIFY(p.view.form.k[2]);
        p.session.insertRemembered();
        // The remembered data under the shown entry's ID; nothing stored yet.
        QCOMPARE(p.shownId(), QStringLiteral("13"));
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Firma 10"));
        QCOMPARE(p.view.form[Field::telefon], QStringLiteral("22 555"));
        QVERIFY(!p.view.form.k[2]);
        QCOMPARE(folder.readEntries()[3].text(Field::nazwa1), QStringLiteral("Firma 13"));
    }

    void navigationAtBothEnds_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("to");
        using Move = EntrySession::Move;
        QTest::newRow("< on the first line") << 0 << int(Move::Previous) << 0;
        QTest::newRow("<< on the first line") << 0 << int(Move::First) << 0;
        QTest::newRow("> on the last line") << 4 << int(Move::Next) << 4;
        QTest::newRow(">> on the last line") << 4 << int(Move::Last) << 4;
        QTest::newRow("> from the first line") << 0 << int(Move::Next) << 1;
        QTest::newRow("< from the last line") << 4 << int(Move::Previous) << 3;
        QTest::newRow(">> from the first line") << 0 << int(Move::Last) << 4;
        QTest::newRow("<< from the last line") << 4 << int(Move::First) << 0;
    }
    void navigationAtBothEnds() {
        QFETCH(int, from);
        QFETCH(int, move);
        QFETCH(int, to);
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.view.click(p.session, from);
        p.session.toggleAddMode(); // every move leaves add mode
        p.session.navigate(static_cast<EntrySession::Move>(move));
        QVERIFY(!p.session.addMode());
        QCOMPARE(p.view.caption, QStringLiteral("Dodaj wpis"));
        QCOMPARE(p.view.selected, to);
        QCOMPARE(p.shownId(), QString::number(10 + to));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("KOSZ/%1.p").arg(10 + to))));
    }

    // A filter that lets nothing through leaves an empty list: moving does nothing, and the
    // record numbers of a shorter list still lead to their own entries.
    void filteredListsKeepTheirRecordNumbers() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        p.session.openFilter();
        QVERIFY(!p.session.fullList());
        p.session.buildFromFilter(
            [] { return [](const EntryRecord& r) { return r.text(Field::id).toInt() % 2 == 1; }; });
        QCOMPARE(p.view.lines.size(), 2);
        QCOMPARE(p.session.list().recordNumber(1), 4);
        p.view.click(p.session, 1);
        QCOMPARE(p.shownId(), QStringLiteral("13"));
        QCOMPARE(p.session.currentPosition(), 3);

        p.session.buildFromFilter([] { return [](const EntryRecord&) { return false; }; });
        QCOMPARE(p.view.selected, -1);
        p.session.navigate(EntrySession::Move::Last);
        QCOMPARE(p.view.selected, -1);
        QVERIFY(!p.session.fullList());
        p.session.buildFromFilter({});
        QVERIFY(p.session.fullList());
        QCOMPARE(p.view.lines.size(), 5);
    }

    void searchSelectsTheNextMatch() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        QVERIFY(p.session.search(QStringLiteral("Firma 13")));
        QCOMPARE(p.view.selected, 3);
        QCOMPARE(p.shownId(), QStringLiteral("13"));
        p.prompts.expectInformation(searchNotFoundMessage());
        QVERIFY(!p.session.search(QStringLiteral("Firma 11"))); // above: the search never wraps
        QCOMPARE(p.view.selected, 3);
    }

    void sortNeedsTheBossLevel() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QVERIFY(p.session.start());
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        p.prompts.expectInformation(QStringLiteral(
            "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
        p.session.sort(true);
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);

        p.ws.boss = true;
        p.session.chooseSortField(SortField::Nazwa1);
        p.prompts.expectQuestion(QStringLiteral("Sortować dane w/g pola Nazwa I ?"), true);
        p.session.sort(true);
        QCOMPARE(ids(folder.readEntries()), QStringList({"14", "13", "12", "11", "10"}));
        QCOMPARE(p.view.lines.first().left(8), QStringLiteral("Firma 14"));
    }

    void idCounter() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        QCOMPARE(p.session.idCounter(), std::optional<qint32>(15));
        QVERIFY(p.session.storeIdCounter(QStringLiteral(" 12ab")));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(12));
        QFile::remove(folder.file("ADMINI/id_ks.dat"));
        p.prompts.expectError(QStringLiteral("id_ks.dat"));
        QCOMPARE(p.session.idCounter(), std::nullopt);
    }

    // The counter holds a positive ID that fits the ID field; anything else is refused and the
    // counter keeps its value.
    void idCounterOutsideItsRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("stored");
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("negative") << "-3" << false;
        QTest::newRow("not a number") << "abc" << false;
        QTest::newRow("past the field") << "2147483648" << false;
        QTest::newRow("far past it") << "99999999999999" << false;
        QTest::newRow("the largest") << "2147483647" << true;
        QTest::newRow("the smallest") << "1" << true;
    }
    void idCounterOutsideItsRange() {
        QFETCH(QString, typed);
        QFETCH(bool, stored);
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        if (!stored)
            p.prompts.expectInformation(QStringLiteral(
                "Numer ID musi być liczbą od 1 do 2147483647. Licznik nie został zmieniony."));
        QCOMPARE(p.session.storeIdCounter(typed), stored);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"),
                 int32Bytes(stored ? static_cast<qint32>(typed.toLongLong()) : 15));
    }

    // A new entry takes its ID from the counter as it goes into the main file. When the main
    // file cannot take it, the ID stays used (never given twice), nothing else is written, and
    // the form stays in add mode for another try.
    void addThatTheMainFileRefuses() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        files::FaultInjector faults;
        p.ws.faults = &faults;
        QVERIFY(p.session.start());
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        p.session.toggleAddMode();
        p.view.form[Field::nazwa1] = QStringLiteral("Nowa");
        faults.failCall(files::Call::Write, 1, ENOSPC, QStringLiteral("spis_ks.dat"));
        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.prompts.expectError(QStringLiteral("spis_ks.dat"));
        p.session.save();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(16));
        QVERIFY(!QFile::exists(folder.file("KOSZ/wpis.dat")));
        QVERIFY(p.session.addMode());
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Nowa"));

        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.session.save();
        QCOMPARE(ids(folder.readEntries()), QStringList({"10", "11", "12", "13", "14", "16"}));
        QCOMPARE(p.shownId(), QStringLiteral("16"));
        QVERIFY(QFile::exists(folder.file("KOSZ/wpis.dat")));
    }

    // The new entry is stored but its side copy KOSZ/wpis.dat is not: the form leaves add mode
    // and shows the stored entry, so another "Zapisz dane" saves changes, not a second copy.
    void addWhoseSideCopyFails() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        files::FaultInjector faults;
        p.ws.faults = &faults;
        QVERIFY(p.session.start());
        p.session.toggleAddMode();
        p.view.form[Field::nazwa1] = QStringLiteral("Nowa");
        faults.failCall(files::Call::Open, 1, EACCES, QStringLiteral("KOSZ/wpis.dat"));
        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.prompts.expectError(QStringLiteral("Nowy wpis został zapisany (numer ID 15). Nie udało "
                                             "się zapisać jedynie kopii"));
        p.session.save();
        QVERIFY(!p.session.addMode());
        QCOMPARE(p.view.caption, QStringLiteral("Dodaj wpis"));
        QCOMPARE(p.shownId(), QStringLiteral("15"));
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.session.save();
        QCOMPARE(ids(folder.readEntries()), QStringList({"10", "11", "12", "13", "14", "15"}));
    }

    // Another workstation holds the main file longer than this one waits: the addition is given
    // up before anything is written, and the user is told so.
    void addWhileTheMainFileIsHeld() {
        DataFolder folder;
        fiveEntries(folder);
        Program p(folder);
        DeadlineWait wait(std::chrono::milliseconds(0));
        p.ws.lockWait = &wait;
        QVERIFY(p.session.start());
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        p.session.toggleAddMode();
        p.view.form[Field::nazwa1] = QStringLiteral("Nowa");
        const FileLock held(lockPathFor(folder.file("DANE/spis_ks.dat")));
        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.prompts.expectError(QStringLiteral("Nic nie zostało zapisane."));
        p.session.save();
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(15));
        QVERIFY(!QFile::exists(folder.file("KOSZ/wpis.dat")));
        QVERIFY(p.session.addMode());
    }
};

KESTRANA_TEST(EntrySessionTest)
#include "EntrySessionTest.moc"
