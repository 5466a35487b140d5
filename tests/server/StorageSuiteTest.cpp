#include "ServerTestSupport.h"
#include "cash/CompanyData.h"
#include "cash/VoucherCounter.h"
#include "register/EntrySession.h"
#include "register/EntryStore.h"
#include "register/EntryView.h"
#include "register/Startup.h"
#include "register/StartupFiles.h"
#include "reports/Descriptions.h"
#include "reports/EntryFilter.h"
#include "server/DatabaseRegister.h"
#include "server/PgConnection.h"
#include "server/RegisterImport.h"
#include "server/Schema.h"
#include "station/ServerMode.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstring>
#include <memory>

// The register's behaviour through the editing session, the list build, the filter and the
// small records, the same expectations for a register in files and one on the server: every
// test runs once per storage ("pliki", "serwer").

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::ScriptedPrompts;

namespace {

const QString kToday = QStringLiteral("2026-12-07");
const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");
const QString kEntryGone =
    QStringLiteral("Tego wpisu nie ma już w bazie: usunął go w międzyczasie inny użytkownik.\n"
                   "Nic nie zostało zapisane.");

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
    void showAddMode(bool) override {}
    void showContractPicture(const QByteArray&) override {}

    void click(EntrySession& session, int row) {
        selected = row;
        session.selectLine();
    }

    EntryFormValues form;
    QStringList lines;
    int selected = -1;
};

// Five entries, IDs 10 to 14, with names out of alphabetical order and a little of everything
// the views show; the counter gives 15 next.
std::vector<EntryRecord> fiveEntries() {
    const QStringList names = {"Żurawie", "Agrest", "Łąka", "Bób", "agrafka"};
    std::vector<EntryRecord> records;
    for (int i = 0; i < names.size(); ++i) {
        EntryRecord r = entry(QString::number(10 + i), names[i], QStringLiteral("K%1").arg(5 - i));
        r.setText(Field::telefon, QStringLiteral("22 %1").arg(i));
        r.setText(Field::mail, QStringLiteral("f%1@x.pl").arg(i));
        r.setText(Field::nazwa2, QStringLiteral("Oddział %1").arg(i));
        records.push_back(r);
    }
    return records;
}

// Entries IDs 20 to 28 (record numbers 1 to 9) whose stored bytes put a filter's text, flags
// and dates just inside or just outside what it accepts.
std::vector<EntryRecord> filterEdgeEntries() {
    const FieldLayout& name = layoutOf(Field::nazwa1);
    const QString filled = QString(name.width - 6, QLatin1Char('y')) + QStringLiteral("Tartak");
    struct Row {
        QString nazwa1;
        QString date;
        bool kat3;
    };
    const Row rows[] = {
        {filled, "2005-03-01", true},                        // the text at the field's very end
        {"Tar", "2005-06-01", true},                         // "tak" follows in the unused bytes
        {QStringLiteral("Łąka"), "2001-01-01", true},        // "Tartak" in nazwa2 only
        {QStringLiteral("Tartak Łąka"), "2009-12-31", true}, // last day; more conditions
        {"Tartak", "2005-03-01", false},                     // no category 3
        {"Tartak", "2010-01-01", true},                      // a day late
        {filled, "2004-12-31", true},                        // length byte above the width
        {"Tartak", "2000-01-01", true},                      // the first day
        {"Tartak", "", true},                                // no date
    };
    std::vector<EntryRecord> records;
    for (const Row& row : rows) {
        EntryRecord r = entry(QString::number(20 + qsizetype(records.size())), row.nazwa1);
        r.setText(Field::data, row.date);
        r.setCategory(3, row.kat3);
        records.push_back(r);
    }
    std::memcpy(records[1].data() + name.offset + 4, "tak", 3);
    records[2].setText(Field::nazwa2, QStringLiteral("Tartak"));
    records[3].setText(Field::miejscowosc, QStringLiteral("Gdańsk"));
    records[3].setGroup(2, true);
    records[3].setUmowa(true);
    records[6].data()[name.offset] = char(255);
    return records;
}

// A data folder whose register is in files, or was moved to a new database on the server (its
// local copies removed, the workstation switched to server mode).
struct Storage {
    explicit Storage(bool onServer, const std::vector<EntryRecord>& records = fiveEntries()) {
        folder.writeEntries(records);
        folder.writeBytes(QStringLiteral("ADMINI/id_ks.dat"), int32Bytes(15));
        QDir(folder.path()).mkpath(QStringLiteral("DOKUMENTY"));
        if (!onServer)
            return;
        database = test::newDatabase();
        if (database.isEmpty())
            return;
        server::Connection c(database);
        server::schema::initialize(c);
        server::importRegister(c, folder.path());
        QFile::remove(folder.file(QStringLiteral("DANE/spis_ks.dat")));
        QFile::remove(folder.file(QStringLiteral("ADMINI/id_ks.dat")));
        startup::writeServerChoice(folder.path(), database);
    }
    bool onServer() const { return !database.isEmpty(); }

    DataFolder folder;
    QString database;
};

// One program on the storage: its workstation, register and editing session.
struct Program {
    explicit Program(const Storage& storage, bool boss = false)
        : ws(startup::prepareWorkstation(storage.folder.path(), boss, kToday, nullptr,
                                         server::openRegister)),
          reg(ws), session(ws, reg, prompts, view) {}

    QString shownId() const { return view.form[Field::id]; }
    QStringList listedIds() const {
        QStringList ids;
        for (int row = 0; row < view.lines.size(); ++row) {
            Register probe(ws);
            probe.load(session.list().recordNumber(row) - 1);
            ids << probe.buffer().text(Field::id);
        }
        return ids;
    }

    Workstation ws;
    Register reg;
    ScriptedPrompts prompts;
    PlainView view;
    EntrySession session;
};

void addStorageRows() {
    QTest::addColumn<bool>("onServer");
    QTest::newRow("pliki") << false;
    QTest::newRow("serwer") << true;
}

} // namespace

#define KESTRANA_STORAGE(name)                                                                     \
    QFETCH(bool, onServer);                                                                        \
    Storage name(onServer);                                                                        \
    QVERIFY2(!onServer || name.onServer(), qPrintable(test::PgCluster::instance().error()))

class StorageSuiteTest : public QObject {
    Q_OBJECT

private slots:
    void everyViewListsTheEntriesInStorageOrder_data() { addStorageRows(); }
    void everyViewListsTheEntriesInStorageOrder() {
        KESTRANA_STORAGE(storage);
        const std::vector<EntryRecord> records = fiveEntries();
        Program p(storage);
        QVERIFY(p.session.start());
        QCOMPARE(p.shownId(), QStringLiteral("10"));
        for (const ViewMode mode : {ViewMode::Nazwa, ViewMode::NazwaKod, ViewMode::KodNazwa,
                                    ViewMode::NazwaTelefon, ViewMode::NazwaMail}) {
            p.session.changeView(mode);
            QCOMPARE(p.view.lines.size(), 5);
            for (int i = 0; i < 5; ++i)
                QCOMPARE(p.view.lines[i], listLine(records[size_t(i)], i + 1, mode));
        }
        // The list file is the workstation's own, written from the listed entries.
        QCOMPARE(storage.folder.readEntries(QStringLiteral("DANE/sp_ks.dat")).size(), size_t(5));
        QCOMPARE(storage.folder.readBytes(QStringLiteral("DANE/sp_ks.dat")).mid(0, 1678),
                 QByteArray(records[0].data(), 1678));
        QCOMPARE(QFile::exists(storage.folder.file(QStringLiteral("DANE/spis_ks.dat"))),
                 !storage.onServer());
    }

    // Descriptions are stored and read by entry ID; the filter finds entries by them and by
    // name (bytes as stored, letter case counts), and its lines keep the record numbers.
    void filterByDescriptionAndName_data() { addStorageRows(); }
    void filterByDescriptionAndName() {
        KESTRANA_STORAGE(storage);
        Program p(storage);
        QVERIFY(p.session.start());
        descriptions::store(p.ws, QStringLiteral("11"), {"Dostawca", "Jabłka zimowe"});
        descriptions::store(p.ws, QStringLiteral("13"), {"zielone jabłka"});
        descriptions::store(p.ws, QStringLiteral("14"), {"gruszki"});
        QCOMPARE(descriptions::read(p.ws, QStringLiteral("11")),
                 QStringList({"Dostawca", "Jabłka zimowe"}));
        QCOMPARE(descriptions::read(p.ws, QStringLiteral("12")), QStringList());
        QCOMPARE(QDir(storage.folder.file(QStringLiteral("OPISY"))).isEmpty(), storage.onServer());

        struct Case {
            FilterCriteria criteria;
            QList<qint64> numbers;
        };
        std::vector<Case> cases(4);
        cases[0].criteria.opis_s = QStringLiteral("abłka");
        cases[0].numbers = {2, 4};
        cases[1].criteria.nazwa1_s = QStringLiteral("ag");
        cases[1].numbers = {5};
        cases[2].criteria.opis_s = QStringLiteral("śliwki");
        cases[3].criteria.nazwa1_s = QStringLiteral("Łą");
        cases[3].numbers = {3};
        for (const Case& c : cases) {
            p.session.openFilter();
            p.session.buildFromFilter([&] { return makeEntryFilter(c.criteria, p.ws); });
            QList<qint64> numbers;
            for (int row = 0; row < p.session.list().count(); ++row)
                numbers << p.session.list().recordNumber(row);
            QCOMPARE(numbers, c.numbers);
        }
    }

    // Texts, flags, contract state and dates at the edges of what the filter accepts: the
    // lines, their record numbers and the entries they lead to are the same in every storage.
    void filterAtTheEdgesOfItsConditions_data() { addStorageRows(); }
    void filterAtTheEdgesOfItsConditions() {
        QFETCH(bool, onServer);
        Storage storage(onServer, filterEdgeEntries());
        QVERIFY2(!onServer || storage.onServer(), qPrintable(test::PgCluster::instance().error()));
        Program p(storage);
        QVERIFY(p.session.start());

        const auto criteria = [](QString nazwa1, std::initializer_list<int> kat = {},
                                 QString from = {}, QString to = {}) {
            FilterCriteria c;
            c.nazwa1_s = nazwa1;
            for (const int k : kat)
                c.kat[size_t(k - 1)] = true;
            c.da1 = !from.isNull();
            c.oddaty_k = from;
            c.dodaty_k = to;
            return c;
        };
        struct Case {
            const char* name;
            FilterCriteria criteria;
            QList<qint64> numbers;
        };
        std::vector<Case> cases = {
            {"nazwa, kategoria, daty",
             criteria("Tartak", {3}, "2000-01-01", "2009-12-31"),
             {1, 4, 7, 8}},
            {"część tekstu", criteria("tak"), {1, 4, 5, 6, 7, 8, 9}},
            {"polskie litery", criteria(QStringLiteral("Łąka")), {3, 4}},
            {"daty z przedrostkiem", criteria({}, {}, "2005", "2005-03-01"), {1, 5}},
            {"puste daty", criteria({}, {}, "", ""), {9}},
            {"kategoria", criteria({}, {3}), {1, 2, 3, 4, 6, 7, 8, 9}},
            {"nic", criteria("Tartak", {3}, "2009-12-31", "2000-01-01"), {}},
        };
        Case severalTexts{"kilka tekstów", criteria("Tartak"), {4}};
        severalTexts.criteria.miejscowosc_s = QStringLiteral("Gdańsk");
        Case otherField{"inne pole", {}, {3}};
        otherField.criteria.nazwa2_s = QStringLiteral("Tartak");
        Case flags{"kategoria i grupa", criteria({}, {3}), {4}};
        flags.criteria.zaw[1] = true;
        Case terminated{"umowa rozwiązana", {}, {4}};
        terminated.criteria.um = ContractState::Terminated;
        Case signedOnly{"umowa trwa", criteria({}, {3}), {1, 2, 3, 6, 7, 8, 9}};
        signedOnly.criteria.um = ContractState::Signed;
        for (const Case& c : {severalTexts, otherField, flags, terminated, signedOnly})
            cases.push_back(c);

        for (const Case& c : cases) {
            p.session.openFilter();
            p.session.buildFromFilter([&] { return makeEntryFilter(c.criteria, p.ws); });
            QList<qint64> numbers;
            QStringList ids;
            for (int row = 0; row < p.session.list().count(); ++row) {
                numbers << p.session.list().recordNumber(row);
                ids << QString::number(19 + numbers.last());
            }
            QVERIFY2(numbers == c.numbers, c.name);
            // Each line leads to its own entry, through the session and by record number.
            QCOMPARE(p.listedIds(), ids);
            for (int row = 0; row < ids.size(); ++row) {
                p.view.click(p.session, row);
                QCOMPARE(p.shownId(), ids[row]);
            }
        }
    }

    // Saving, adding and deleting through the session, with another program holding an entry,
    // and an entry deleted behind the form's back.
    void editingAndItsRefusals_data() { addStorageRows(); }
    void editingAndItsRefusals() {
        KESTRANA_STORAGE(storage);
        Program p(storage);
        Program other(storage);
        QVERIFY(other.session.start());
        other.view.click(other.session, 3);
        QCOMPARE(other.shownId(), QStringLiteral("13"));
        QVERIFY(p.session.start());

        p.prompts.expectInformation(kBusy);
        p.view.click(p.session, 3);
        QCOMPARE(p.shownId(), QString());

        p.view.click(p.session, 1);
        QCOMPARE(p.shownId(), QStringLiteral("11"));
        p.view.form[Field::nazwa1] = QStringLiteral("Agrest i syn");
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.session.save();
        QVERIFY(p.view.lines[1].startsWith(QStringLiteral("Agrest i syn")));
        QCOMPARE(p.session.shownEntry().text(Field::datamodyfikacji), kToday);
        QCOMPARE(p.session.shownEntry().text(Field::nazwa2), QStringLiteral("Oddział 1"));

        p.session.toggleAddMode();
        p.view.form[Field::nazwa1] = QStringLiteral("Nowy");
        p.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        p.session.save();
        QCOMPARE(p.shownId(), QStringLiteral("15"));
        QCOMPARE(p.view.lines.size(), 6);
        QCOMPARE(p.view.selected, 5);
        QCOMPARE(*p.session.idCounter(), 16);

        // The other program deletes a free entry; the one it shows cannot be deleted here.
        other.view.click(other.session, 4);
        other.prompts.expectQuestion(QStringLiteral("Usunąć wpis ?"), true);
        other.prompts.expectInformation(QStringLiteral("Wpis został usunięty."));
        other.session.remove();
        QCOMPARE(other.view.lines.size(), 5);
        other.view.click(other.session, 2);
        QCOMPARE(other.shownId(), QStringLiteral("12"));

        // An entry removed behind the form's back: its save is refused, nothing is stored.
        p.view.click(p.session, 0);
        QCOMPARE(p.shownId(), QStringLiteral("10"));
        Register behind(p.ws);
        QCOMPARE(behind.store().remove(QStringLiteral("10"), 0), std::optional<qint64>(0));
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.prompts.expectInformation(kEntryGone);
        p.session.save();
        QVERIFY(p.session.buildList());
        QCOMPARE(p.listedIds(), QStringList({"11", "12", "13", "15"}));
        QVERIFY(p.prompts.done());
        QVERIFY(other.prompts.done());
    }

    // Sorting orders the entries by Polish rules, ascending or in exact reverse, and the record
    // numbers follow; the remembered entry stays with the workstation.
    void sortAndRememberedEntry_data() { addStorageRows(); }
    void sortAndRememberedEntry() {
        KESTRANA_STORAGE(storage);
        Program p(storage, true);
        QVERIFY(p.session.start());
        p.view.click(p.session, 2);
        p.session.remember();
        for (const bool descending : {false, true}) {
            p.session.chooseSortField(SortField::Nazwa1);
            p.prompts.expectQuestion(sortQuestion(sortFieldName(SortField::Nazwa1)), true);
            p.session.sort(descending);
            QStringList expected = {"14", "11", "13", "12", "10"};
            if (descending)
                std::reverse(expected.begin(), expected.end());
            QCOMPARE(p.listedIds(), expected);
            for (int row = 0; row < 5; ++row)
                QCOMPARE(p.session.list().recordNumber(row), row + 1);
        }
        p.view.click(p.session, 0);
        p.session.insertRemembered();
        QCOMPARE(p.view.form[Field::nazwa1], QStringLiteral("Łąka"));
        QCOMPARE(p.shownId(), QStringLiteral("10"));
    }

    // The ID counter, the voucher counters, the company data and the category names.
    void countersAndSmallRecords_data() { addStorageRows(); }
    void countersAndSmallRecords() {
        KESTRANA_STORAGE(storage);
        Program p(storage);
        QVERIFY(p.session.start());
        QCOMPARE(*p.session.idCounter(), 15);
        for (const QString& refused : {QStringLiteral("0"), QStringLiteral("-3"),
                                       QStringLiteral("abc"), QStringLiteral("2147483648")}) {
            p.prompts.expectInformation(
                QStringLiteral("Numer ID musi być liczbą od 1 do 2147483647. Licznik nie został "
                               "zmieniony."));
            QVERIFY(!p.session.storeIdCounter(refused));
        }
        QVERIFY(p.session.storeIdCounter(QStringLiteral("40")));
        QCOMPARE(*p.session.idCounter(), 40);

        QVERIFY(ensureCounterFile(p.ws, DocumentKind::KP));
        QVERIFY(!ensureCounterFile(p.ws, DocumentKind::KP));
        saveCounterParameters(p.ws, DocumentKind::KP, QStringLiteral("7"), QStringLiteral("/KP"));
        QCOMPARE(takeVoucherNumber(p.ws, DocumentKind::KP).next, 7);
        QCOMPARE(takeVoucherNumber(p.ws, DocumentKind::KP).next, 8);
        QCOMPARE(readCounter(p.ws, DocumentKind::KP), (CounterRecord{9, QStringLiteral("/KP")}));

        CompanyRecord company;
        company.lines[0] = QStringLiteral("Biuro Żółw");
        company.lines[5] = QStringLiteral("NIP 123");
        companydata::store(p.ws, company);
        QCOMPARE(companydata::load(p.ws).toBytes(), company.toBytes());

        CategoryNames names = CategoryNames::defaults();
        names.categories[0] = QStringLiteral("Hurt");
        startup::storeCategoryNames(p.ws, p.ws.categoriesFile(), names);
        QCOMPARE(startup::prepareCategoryNames(p.ws).toBytes(), names.toBytes());

        // Another program sees them all.
        Program later(storage);
        QCOMPARE(*later.session.idCounter(), 40);
        QCOMPARE(readCounter(later.ws, DocumentKind::KP).next, 9);
        QCOMPARE(companydata::load(later.ws).lines[0], QStringLiteral("Biuro Żółw"));
        for (const QString& held :
             {QStringLiteral("ADMINI/id_ks.dat"), QStringLiteral("DOKUMENTY/nrkp.dat")})
            QCOMPARE(QFile::exists(storage.folder.file(held)), !storage.onServer());
    }

    // A connection lost in the middle of work: the action is told as failed and rolled back,
    // and the next one connects again.
    void lostConnectionFailsTheActionOnly() {
        Storage storage(true);
        QVERIFY2(storage.onServer(), qPrintable(test::PgCluster::instance().error()));
        Program p(storage);
        QVERIFY(p.session.start());
        p.view.click(p.session, 1);
        p.view.form[Field::nazwa1] = QStringLiteral("Zmiana");
        server::Connection admin(storage.database);
        const int pid =
            dynamic_cast<server::DatabaseRegister&>(*p.ws.server).link().connection().backendPid();
        admin.exec(QStringLiteral("test"), "SELECT pg_terminate_backend($1, 20000)",
                   server::Params().addInt32(pid));
        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.prompts.expectError(QStringLiteral("rozpoczęta operacja została wycofana"));
        p.session.save();
        QVERIFY(p.prompts.done());
        Register check(p.ws);
        check.load(1);
        QCOMPARE(check.buffer().text(Field::nazwa1), QStringLiteral("Agrest"));

        p.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        p.session.save();
        QVERIFY(p.view.lines[1].startsWith(QStringLiteral("Zmiana")));
    }
};

KESTRANA_TEST(StorageSuiteTest)
#include "StorageSuiteTest.moc"
