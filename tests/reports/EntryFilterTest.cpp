#include "reports/EntryFilter.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "register/ListLine.h"
#include "register/Register.h"
#include "reports/DescriptionFile.h"
#include "reports/FilterText.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

QString FilterCriteria::*textCriterion(const QString& name) {
    static const QHash<QString, QString FilterCriteria::*> members = {
        {QStringLiteral("kod_s"), &FilterCriteria::kod_s},
        {QStringLiteral("nazwa1_s"), &FilterCriteria::nazwa1_s},
        {QStringLiteral("nazwa2_s"), &FilterCriteria::nazwa2_s},
        {QStringLiteral("miejscowosc_s"), &FilterCriteria::miejscowosc_s},
        {QStringLiteral("adres_s"), &FilterCriteria::adres_s},
        {QStringLiteral("wojewodztwo_s"), &FilterCriteria::wojewodztwo_s},
        {QStringLiteral("telefon_s"), &FilterCriteria::telefon_s},
        {QStringLiteral("mail_s"), &FilterCriteria::mail_s},
        {QStringLiteral("opis_s"), &FilterCriteria::opis_s},
    };
    return members.value(name);
}

Field fieldNamed(const QString& name) {
    for (int i = 0; i < kTextFieldCount; ++i) {
        if (name == QLatin1String(fieldLayouts()[i].name))
            return static_cast<Field>(i);
    }
    qFatal("no field %s", qPrintable(name));
}

// "k2 k5 g19 u1": category 2 and 5, group 19, contract flag byte 1. "k3=2" stores the byte 2.
void applyFlags(const QString& flags, FilterCriteria* criteria, EntryRecord* record) {
    for (const QString& item : flags.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.mid(1).split(QLatin1Char('='));
        const int n = parts[0].toInt();
        const int value = parts.size() > 1 ? parts[1].toInt() : 1;
        const QChar kind = item[0];
        if (criteria && kind == QLatin1Char('k'))
            criteria->kat[n - 1] = true;
        else if (criteria && kind == QLatin1Char('g'))
            criteria->zaw[n - 1] = true;
        else if (record && kind == QLatin1Char('k'))
            record->data()[EntryRecord::CategoriesOffset + n - 1] = static_cast<char>(value);
        else if (record && kind == QLatin1Char('g'))
            record->data()[EntryRecord::GroupsOffset + n - 1] = static_cast<char>(value);
        else if (record && kind == QLatin1Char('u'))
            record->data()[EntryRecord::UmowaOffset] = static_cast<char>(n);
    }
}

Workstation workstationFor(const DataFolder& folder) {
    Workstation ws;
    ws.workDir = ws.baseDir = folder.path();
    return ws;
}

bool passes(const FilterCriteria& criteria, const EntryRecord& record) {
    return EntryFilter(criteria, Workstation{}).accepts(record);
}

} // namespace

class EntryFilterTest : public QObject {
    Q_OBJECT

private slots:
    void textFields_data() {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("kept");
        struct Row {
            const char* name;
            const char* criterion;
            const char* filter;
            const char* field;
            const char* stored;
            bool kept;
        };
        static const Row rows[] = {
            {"code inside", "kod_s", "12", "numer", "123", true},
            {"code at end", "kod_s", "12", "numer", "A12", true},
            {"code split", "kod_s", "12", "numer", "1-2", false},
            {"case differs", "nazwa1_s", "abc", "nazwa1", "ABC", false},
            {"case matches", "nazwa1_s", "abc", "nazwa1", "xabcx", true},
            {"Polish letters", "nazwa1_s", "Łąka", "nazwa1", "Zakład „Łąka”", true},
            {"Polish case", "nazwa1_s", "łąka", "nazwa1", "Łąka", false},
            {"Polish vs plain", "nazwa1_s", "Łąka", "nazwa1", "Laka", false},
            {"no trimming", "nazwa1_s", " abc", "nazwa1", "abc", false},
            {"stored blanks count", "nazwa1_s", "c  ", "nazwa1", "abc  ", true},
            {"no wildcard *", "nazwa1_s", "a*c", "nazwa1", "abc", false},
            {"no wildcard ?", "nazwa1_s", "a?c", "nazwa1", "abc", false},
            {"literal ?", "nazwa1_s", "a?c", "nazwa1", "xa?c", true},
            {"whole text needed", "nazwa1_s", "abcd", "nazwa1", "abc", false},
            {"empty field", "nazwa1_s", "a", "nazwa1", "", false},
            // Each text looks at its own field only.
            {"nazwa2", "nazwa2_s", "Oddział", "nazwa2", "Oddział Bór", true},
            {"nazwa2 not nazwa1", "nazwa2_s", "Alfa", "nazwa1", "Alfa", false},
            {"miejscowosc", "miejscowosc_s", "Łódź", "miejscowosc", "90-001 Łódź", true},
            {"miejscowosc not correspondence", "miejscowosc_s", "Łódź", "miejscowosck", "Łódź",
             false},
            {"adres", "adres_s", "ul. Ś", "adres", "ul. Śnieżna 5", true},
            {"adres not contact", "adres_s", "ul.", "adreso", "ul. X", false},
            {"wojewodztwo", "wojewodztwo_s", "śląskie", "wojewodztwo", "dolnośląskie", true},
            {"wojewodztwo not correspondence", "wojewodztwo_s", "śląskie", "wojewodztwok",
             "śląskie", false},
            {"telefon", "telefon_s", "22 1", "telefon", "+48 22 111", true},
            {"telefon not contact", "telefon_s", "22", "telefono", "22", false},
            {"mail", "mail_s", "@firma", "mail", "a@firma.pl", true},
            {"mail not contact", "mail_s", "@", "mailo", "a@b.pl", false},
            // A character the code page lacks would be stored as '?': it matches nothing.
            {"lacking character vs ?", "nazwa1_s", "ж", "nazwa1", "Firma ?", false},
            {"lacking character beside Polish", "miejscowosc_s", "Łódź ж", "miejscowosc", "Łódź ?",
             false},
        };
        for (const Row& row : rows) {
            QTest::newRow(row.name)
                << QString::fromUtf8(row.criterion) << QString::fromUtf8(row.filter)
                << QString::fromUtf8(row.field) << QString::fromUtf8(row.stored) << row.kept;
        }
        const QString full(60, QLatin1Char('x'));
        QTest::newRow("whole field")
            << QStringLiteral("nazwa1_s") << full << QStringLiteral("nazwa1") << full << true;
    }
    void textFields() {
        QFETCH(QString, criterion);
        QFETCH(QString, filter);
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QFETCH(bool, kept);
        FilterCriteria c;
        c.*textCriterion(criterion) = filter;
        EntryRecord r = entry(QStringLiteral("1"), QString());
        r.setText(fieldNamed(field), stored);
        QCOMPARE(passes(c, r), kept);
        // All nine points are needed: a second text that does not occur drops the entry.
        const QString other = criterion == QLatin1String("mail_s") ? QStringLiteral("telefon_s")
                                                                   : QStringLiteral("mail_s");
        c.*textCriterion(other) = QStringLiteral("nowhere");
        QVERIFY(!passes(c, r));
    }

    void lengthByteBeyondWidthReadsAsWidth() {
        FilterCriteria c;
        c.kod_s = QStringLiteral("Z");
        EntryRecord r;
        const int offset = layoutOf(Field::numer).offset;
        r.data()[offset] = char(200); // a damaged length byte; the next field starts with 'Z'
        r.data()[offset + 21] = 'Z';
        QVERIFY(!passes(c, r));
        r.data()[offset + 20] = 'Z';
        QVERIFY(passes(c, r));
    }

    // Every text the filter tests is checked, the dates only while they count; the user is
    // told which characters in which fields.
    void lackingCharactersAreNamed() {
        FilterCriteria c;
        c.nazwa1_s = QStringLiteral("Żuraw жж");
        c.opis_s = QStringLiteral("€ ok");
        c.oddaty_k = QStringLiteral("2007-ж");
        QCOMPARE(unencodableFilterTexts(c).size(), 1);
        c.da1 = true;
        const QList<UnencodableFilterText> texts = unencodableFilterTexts(c);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(unencodableFilterMessage(texts, false),
                 QStringLiteral("Filtr zawiera znaki, których nie ma w polskim kodowaniu "
                                "Windows-1250, w którym rejestr zapisuje teksty: „ж” (Nazwa), "
                                "„ж” (od daty). Żaden wpis nie może ich zawierać, więc lista jest "
                                "pusta."));
        QVERIFY(unencodableFilterMessage(texts, true).contains(QStringLiteral("„ж” (--od)")));
        QVERIFY(unencodableFilterMessage({}, false).isEmpty());
        // Such a filter drops an entry that every other condition keeps.
        EntryRecord r = entry(QStringLiteral("1"), QStringLiteral("Żuraw ??"));
        c.da1 = false;
        QVERIFY(!passes(c, r));
        c.nazwa1_s = QStringLiteral("Żuraw");
        c.opis_s.clear();
        QVERIFY(passes(c, r));
    }

    void dates_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("kept");
        struct Row {
            const char* name;
            const char* from;
            const char* to;
            const char* date;
            bool kept;
        };
        static const Row rows[] = {
            {"last day", "2007-01-01", "2007-12-31", "2007-12-31", true},
            {"first day", "2007-01-01", "2007-12-31", "2007-01-01", true},
            {"mid year", "2007-01-01", "2007-12-31", "2007-06-15", true},
            {"next year", "2007-01-01", "2007-12-31", "2008-01-01", false},
            {"year before", "2007-01-01", "2007-12-31", "2006-12-31", false},
            {"empty date", "2007-01-01", "2007-12-31", "", false},
            // Bytes, not dates: "2007-3-5" sorts after every "2007-0x" and "2007-1x".
            {"unpadded from", "2007-3-5", "2007-12-31", "2007-03-05", false},
            {"unpadded to, March", "2007-01-01", "2007-3-5", "2007-03-05", true},
            {"unpadded to, October", "2007-01-01", "2007-3-5", "2007-10-01", true},
            {"unpadded to, April", "2007-01-01", "2007-3-5", "2007-4-1", false},
            {"prefix is smaller", "2007", "2007", "2007-01-01", false},
            {"equal", "2007", "2007", "2007", true},
            {"empty to drops dated", "2007-01-01", "", "2007-06-15", false},
            {"empty to keeps undated", "", "", "", true},
            {"empty from, no lower bound", "", "2007-12-31", "", true},
            // Ordinal means unsigned: 'Ł' (0xA3) is above 'z'.
            {"bytes unsigned, above", "", "z", "Ł", false},
            {"bytes unsigned, below", "", "Ł", "z", true},
        };
        for (const Row& row : rows) {
            QTest::newRow(row.name) << QString::fromUtf8(row.from) << QString::fromUtf8(row.to)
                                    << QString::fromUtf8(row.date) << row.kept;
        }
    }
    void dates() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, date);
        QFETCH(bool, kept);
        FilterCriteria c;
        c.oddaty_k = from;
        c.dodaty_k = to;
        EntryRecord r;
        r.setText(Field::data, date);
        QVERIFY(passes(c, r)); // "nie uwzględniaj dat" ignores the bounds
        c.da1 = true;
        QCOMPARE(passes(c, r), kept);
    }

    void contractState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("kept");
        for (int flag = 0; flag <= 2; ++flag) {
            QTest::addRow("all, byte %d", flag) << int(ContractState::All) << flag << true;
            QTest::addRow("signed, byte %d", flag)
                << int(ContractState::Signed) << flag << (flag == 0);
            QTest::addRow("terminated, byte %d", flag)
                << int(ContractState::Terminated) << flag << (flag == 1);
        }
    }
    void contractState() {
        QFETCH(int, state);
        QFETCH(int, flag);
        QFETCH(bool, kept);
        FilterCriteria c;
        c.um = static_cast<ContractState>(state);
        EntryRecord r;
        applyFlags(QStringLiteral("u%1").arg(flag), nullptr, &r);
        QCOMPARE(passes(c, r), kept);
    }

    void categoriesAndGroups_data() {
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("kept");
        QTest::newRow("kat2+kat5, both") << "k2 k5"
                                         << "k2 k5 k7" << true;
        QTest::newRow("kat2+kat5, only 2") << "k2 k5"
                                           << "k2" << false;
        QTest::newRow("kat2+kat5, only 5") << "k2 k5"
                                           << "k5" << false;
        QTest::newRow("flag byte 2 is not set") << "k2"
                                                << "k2=2" << false;
        QTest::newRow("kat20") << "k20"
                               << "k20" << true;
        QTest::newRow("category is not group") << "k3"
                                               << "g3" << false;
        QTest::newRow("group is not category") << "g3"
                                               << "k3" << false;
        QTest::newRow("zaw1+zaw19") << "g1 g19"
                                    << "g1 g19" << true;
        QTest::newRow("zaw19 missing") << "g1 g19"
                                       << "g1 g20" << false;
        QTest::newRow("category and group") << "k1 g1"
                                            << "k1 g1" << true;
        QTest::newRow("category and group, group missing") << "k1 g1"
                                                           << "k1" << false;
        QTest::newRow("nothing checked") << ""
                                         << "" << true;
    }
    void categoriesAndGroups() {
        QFETCH(QString, checked);
        QFETCH(QString, flags);
        QFETCH(bool, kept);
        FilterCriteria c;
        applyFlags(checked, &c, nullptr);
        EntryRecord r;
        applyFlags(flags, nullptr, &r);
        QCOMPARE(passes(c, r), kept);
    }

    void descriptions_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("fileName"); // empty: no file
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("kept");
        struct Row {
            const char* name;
            const char* id;
            const char* fileName;
            const char* content; // UTF-8 here, Windows-1250 in the file
            const char* filter;
            bool kept;
        };
        static const Row rows[] = {
            {"CR LF, second line", "7", "opis_ks_7.dat", "Alfa\r\nBeta\r\n", "Beta", true},
            {"CR LF, spanning", "7", "opis_ks_7.dat", "Alfa\r\nBeta\r\n", "Alfa Beta", false},
            {"CR LF, joined", "7", "opis_ks_7.dat", "Alfa\r\nBeta\r\n", "faBe", false},
            {"LF, second line", "7", "opis_ks_7.dat", "Alfa\nBeta\n", "Beta", true},
            {"LF, joined", "7", "opis_ks_7.dat", "Alfa\nBeta\n", "faBe", false},
            {"CR, joined", "7", "opis_ks_7.dat", "Alfa\rBeta\r", "faBe", false},
            {"last line unterminated", "7", "opis_ks_7.dat", "x\r\nkoniec", "niec", true},
            {"Polish letters", "7", "opis_ks_7.dat", "Producent mąki\r\n", "mąki", true},
            {"case-sensitive", "7", "opis_ks_7.dat", "Producent mąki\r\n", "MĄKI", false},
            {"empty file", "7", "opis_ks_7.dat", "", "a", false},
            {"missing file", "7", "", "", "a", false},
            {"missing file, no text", "7", "", "", "", true},
            {"other entry's file", "7", "opis_ks_17.dat", "Alfa\r\n", "Alfa", false},
            {"name in capitals", "7", "OPIS_KS_7.DAT", "Alfa\r\n", "Alfa", true},
            // An ID that is not a plain number never names a file.
            {"ID with blank", "7 ", "opis_ks_7 .dat", "Alfa\r\n", "Alfa", false},
            {"empty ID", "", "opis_ks_.dat", "Alfa\r\n", "Alfa", false},
            {"ID with path", "7/../7", "7.dat", "Alfa\r\n", "Alfa", false},
        };
        for (const Row& row : rows) {
            QTest::newRow(row.name) << QString::fromUtf8(row.id) << QString::fromUtf8(row.fileName)
                                    << cp1250::encode(QString::fromUtf8(row.content))
                                    << QString::fromUtf8(row.filter) << row.kept;
        }
    }
    void descriptions() {
        QFETCH(QString, id);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, filter);
        QFETCH(bool, kept);
        DataFolder folder;
        // Lets "opis_ks_7/../7.dat" reach OPISY/7.dat, were the ID used as it stands.
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("OPISY/opis_ks_7")));
        if (!fileName.isEmpty())
            folder.writeBytes(QStringLiteral("OPISY/") + fileName, content);
        FilterCriteria c;
        c.opis_s = filter;
        EntryRecord r;
        r.setText(Field::id, id);
        QCOMPARE(EntryFilter(c, workstationFor(folder)).accepts(r), kept);
    }

    void exactDescriptionNameWins() {
        DataFolder folder;
        folder.writeBytes(QStringLiteral("OPISY/opis_ks_3.dat"), "exact\r\n");
        folder.writeBytes(QStringLiteral("OPISY/Opis_KS_3.dat"), "other\r\n");
        FilterCriteria c;
        c.opis_s = QStringLiteral("exact");
        QVERIFY(EntryFilter(c, workstationFor(folder)).accepts(entry(QStringLiteral("3"), {})));
        QCOMPARE(descriptionFilePath(workstationFor(folder), u"3"),
                 folder.file(QStringLiteral("OPISY/opis_ks_3.dat")));
        QCOMPARE(descriptionFilePath(workstationFor(folder), u"3/"), std::nullopt);
    }

    void descriptionDeletedDuringThePassIsMissing() {
        DataFolder folder;
        folder.writeBytes(QStringLiteral("OPISY/opis_ks_4.dat"), "Alfa\r\n");
        FilterCriteria c;
        c.opis_s = QStringLiteral("Alfa");
        const EntryFilter filter(c, workstationFor(folder));
        QVERIFY(QFile::remove(folder.file(QStringLiteral("OPISY/opis_ks_4.dat"))));
        QVERIFY(!filter.accepts(entry(QStringLiteral("4"), {})));
    }

    void missingDescriptionsDirectoryMeansNoDescriptions() {
        DataFolder folder;
        QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("OPISY")));
        FilterCriteria c;
        c.opis_s = QStringLiteral("a");
        QVERIFY(!EntryFilter(c, workstationFor(folder)).accepts(entry(QStringLiteral("1"), {})));
    }

    // The description is read last, only for an entry that passed everything else; a file that
    // cannot be read then drops that entry and is told once.
    void descriptionReadOnlyWhenNeeded_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("reads");
        QTest::newRow("reaches the description") << "" << true;
        QTest::newRow("dropped by date") << "date" << false;
        QTest::newRow("dropped by contract") << "contract" << false;
        QTest::newRow("dropped by category") << "category" << false;
        QTest::newRow("dropped by group") << "group" << false;
        QTest::newRow("dropped by a text") << "text" << false;
        QTest::newRow("no description text") << "no description" << false;
    }
    void descriptionReadOnlyWhenNeeded() {
        QFETCH(QString, change);
        QFETCH(bool, reads);
        DataFolder folder;
        // A directory in place of the file: opening works, reading fails.
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("OPISY/opis_ks_5.dat")));
        FilterCriteria c;
        c.opis_s = QStringLiteral("x");
        c.da1 = change == QLatin1String("date");
        c.oddaty_k = QStringLiteral("2000");
        c.dodaty_k = QStringLiteral("3000");
        c.um = change == QLatin1String("contract") ? ContractState::Terminated : ContractState::All;
        c.kat[0] = change == QLatin1String("category");
        c.zaw[0] = change == QLatin1String("group");
        c.mail_s = change == QLatin1String("text") ? QStringLiteral("@") : QString();
        if (change == QLatin1String("no description"))
            c.opis_s.clear();
        const EntryRecord r = entry(QStringLiteral("5"), QStringLiteral("Alfa"));
        // A description that cannot be read drops its entry alone, and is told once.
        QStringList told;
        const EntryFilter filter(c, workstationFor(folder),
                                 [&told](const QString& text) { told << text; });
        for (int pass = 0; pass < 2; ++pass)
            QCOMPARE(filter.accepts(r), change == QLatin1String("no description"));
        QCOMPARE(told.size(), reads ? 1 : 0);
    }

    void emptyCriteriaKeepEverything() {
        EntryRecord damaged;
        damaged.data()[EntryRecord::UmowaOffset] = 7;
        for (int i = 0; i < EntryRecord::Size; i += 3)
            damaged.data()[i] = char(0xFF);
        for (const EntryRecord& r : {EntryRecord(), damaged, entry(QStringLiteral("1"), "A")})
            QVERIFY(passes(FilterCriteria{}, r));
    }

    void filteredListBuild_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("empty criteria") << "" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        QTest::newRow("kat2 + kat5") << "kat" << QList<int>{2, 10};
        QTest::newRow("year 2007") << "dates" << QList<int>{1, 2, 3, 12};
        QTest::newRow("terminated") << "um3" << QList<int>{4, 10};
        QTest::newRow("name fragment") << "name" << QList<int>{2, 3, 11};
        QTest::newRow("description") << "opis" << QList<int>{3, 6};
        QTest::newRow("year 2007, signed, name, description") << "combined" << QList<int>{3};
    }
    void filteredListBuild() {
        QFETCH(QString, setup);
        QFETCH(QList<int>, ids);
        DataFolder folder;
        // Compared as bytes, "2007-3-5" lies after "2007-12-31", "2007" before "2007-01-01" and
        // "2007-1" between the two bounds.
        const char* const dates[] = {"2007-01-01", "2007-12-31", "2007-06-15", "2008-01-01",
                                     "2007-3-5",   "",           "2006-12-31", "2010-05-05",
                                     "2007",       "2009-01-01", "2008",       "2007-1"};
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 12; ++i) {
            EntryRecord r = entry(QString::number(i), QStringLiteral("Firma %1").arg(i));
            r.setText(Field::data, QString::fromLatin1(dates[i - 1]));
            records.push_back(r);
        }
        for (int i : {2, 3, 11})
            records[i - 1].setText(Field::nazwa1, QStringLiteral("Zakład „Dąb” %1").arg(i));
        for (int i : {2, 10})
            applyFlags(QStringLiteral("k2 k5"), nullptr, &records[i - 1]);
        applyFlags(QStringLiteral("k2"), nullptr, &records[0]);
        applyFlags(QStringLiteral("k5"), nullptr, &records[2]);
        for (int i : {4, 10})
            records[i - 1].setUmowa(true);
        folder.writeEntries(records);
        for (int i : {3, 6, 2})
            folder.writeBytes(QStringLiteral("OPISY/opis_ks_%1.dat").arg(i),
                              cp1250::encode(i == 2 ? u"tartak\r\n" : u"tartak i młyn\r\n"));

        FilterCriteria c;
        const bool combined = setup == QLatin1String("combined");
        if (setup == QLatin1String("kat"))
            c.kat[1] = c.kat[4] = true;
        if (setup == QLatin1String("dates") || combined) {
            c.da1 = true;
            c.oddaty_k = QStringLiteral("2007-01-01");
            c.dodaty_k = QStringLiteral("2007-12-31");
        }
        if (setup == QLatin1String("um3"))
            c.um = ContractState::Terminated;
        if (combined)
            c.um = ContractState::Signed;
        if (setup == QLatin1String("name") || combined)
            c.nazwa1_s = QStringLiteral("„Dąb”");
        if (setup == QLatin1String("opis") || combined)
            c.opis_s = QStringLiteral("młyn");

        const Workstation ws = workstationFor(folder);
        Register reg(ws);
        QStringList lines;
        reg.buildList(ViewMode::Nazwa, lines, makeEntryFilter(c, ws));
        QList<int> listedIds;
        for (const EntryRecord& r : folder.readEntries(QStringLiteral("DANE/sp_ks.dat")))
            listedIds.append(r.text(Field::id).toInt());
        QCOMPARE(listedIds, ids);
        QCOMPARE(lines.size(), ids.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(recordNumberOfLine(lines[i]), ids[i]); // IDs follow the record order here
    }

    // A description that cannot be read fails its own entry only: the build goes on, and
    // the entries after it are listed.
    void unreadableDescriptionSkipsItsEntry() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 4; ++i)
            records.push_back(entry(QString::number(i), QStringLiteral("Firma")));
        folder.writeEntries(records);
        folder.writeBytes(QStringLiteral("OPISY/opis_ks_1.dat"), "szukane\r\n");
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("OPISY/opis_ks_3.dat")));
        FilterCriteria c;
        c.opis_s = QStringLiteral("szukane");
        const Workstation ws = workstationFor(folder);
        Register reg(ws);
        QStringList lines;
        folder.writeBytes(QStringLiteral("OPISY/opis_ks_4.dat"), "szukane\r\n");
        int told = 0;
        reg.buildList(ViewMode::Nazwa, lines,
                      makeEntryFilter(c, ws, [&](const QString&) { ++told; }));
        QCOMPARE(lines.size(), 2); // entries 1 and 4
        QCOMPARE(told, 1);
    }
};

KESTRANA_TEST(EntryFilterTest)
#include "EntryFilterTest.moc"
