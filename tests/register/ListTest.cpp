#include "platform/CheckedFile.h"
#include "register/ListLine.h"
#include "register/Register.h"
#include "register/Sort.h"
#include "register/Startup.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

namespace {

// Thirty entries, IDs 1 to 30, named "<name> <ID>".
std::vector<EntryRecord> thirtyEntries(const QString& name) {
    std::vector<EntryRecord> records;
    for (int i = 1; i <= 30; ++i)
        records.push_back(entry(QString::number(i), QStringLiteral("%1 %2").arg(name).arg(i)));
    return records;
}

// Every fifth entry by ID.
bool fifth(const EntryRecord& r) {
    return r.text(Field::id).toInt() % 5 == 0;
}

// Descriptors of this process open on a file once named `path` and since replaced.
int openDeletedFiles(const QString& path) {
    int open = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds.filePath(fd)) == path + QStringLiteral(" (deleted)"))
            ++open;
    }
    return open;
}

} // namespace

class ListTest : public QObject {
    Q_OBJECT

private slots:
    void viewTexts_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 Nazwa") << 1 << QStringLiteral("Alfa");
        QTest::newRow("2 Nazwa i kod") << 2 << QStringLiteral("Alfa A1");
        QTest::newRow("3 Kod i nazwa") << 3 << QStringLiteral("A1 Alfa");
        QTest::newRow("4 Nazwa i telefon") << 4 << QStringLiteral("Alfa 22 111");
        QTest::newRow("5 Nazwa i E-mail") << 5 << QStringLiteral("Alfa a@b.pl");
    }
    void viewTexts() {
        QFETCH(int, mode);
        QFETCH(QString, text);
        EntryRecord r = entry(QStringLiteral("3"), QStringLiteral("Alfa"), QStringLiteral("A1"));
        r.setText(Field::telefon, u"22 111");
        r.setText(Field::mail, u"a@b.pl");
        QCOMPARE(listViewText(r, static_cast<ViewMode>(mode)), text);
    }

    void shortNameIs35CharactersInEveryView() {
        const QString name = QStringLiteral("ABCDEFGHIJ").repeated(5);
        const EntryRecord r = entry(QStringLiteral("1"), name, QStringLiteral("K"));
        for (int mode = 1; mode <= 5; ++mode) {
            const QString line = listLine(r, 1, static_cast<ViewMode>(mode));
            QVERIFY(line.contains(name.left(35)));
            QVERIFY(!line.contains(name.left(36)));
        }
    }

    void lineColumns() {
        EntryRecord r = entry(QStringLiteral("9"), QStringLiteral("Żubr  "), QStringLiteral("Z"));
        r.setText(Field::nazwa2, u"Oddział");
        r.setText(Field::nip, u"123");
        const QString line = listLine(r, 12, ViewMode::Nazwa);
        QCOMPARE(line.left(6), QStringLiteral("Żubr  ")); // stored length, not trimmed
        QCOMPARE(line.mid(6, 94), QString(94, QLatin1Char(' ')));
        QCOMPARE(line.mid(100, 2), QStringLiteral("12"));
        QCOMPARE(line.mid(102, 49), QString(49, QLatin1Char(' ')));
        QCOMPARE(line.mid(151), QStringLiteral("Oddział 123"));
        QCOMPARE(recordNumberOfLine(line), 12);
    }

    void recordNumbersReadBack_data() {
        QTest::addColumn<QString>("columns101to120");
        QTest::addColumn<qint64>("number");
        QTest::newRow("plain") << QStringLiteral("1234567890") << qint64(1234567890);
        QTest::newRow("digits beyond 110 ignored") << QStringLiteral("12        99") << qint64(12);
        QTest::newRow("digits gathered") << QStringLiteral("1 2") << qint64(12);
        QTest::newRow("none") << QStringLiteral("   ") << qint64(0);
    }
    void recordNumbersReadBack() {
        QFETCH(QString, columns101to120);
        QFETCH(qint64, number);
        QCOMPARE(recordNumberOfLine(QString(100, QLatin1Char('7')) + columns101to120), number);
        QCOMPARE(recordNumberOfLine(QStringLiteral("short")), 0);
    }

    void buildListsEveryWholeRecord() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 12; ++i)
            records.push_back(entry(QString::number(i), QStringLiteral("Firma %1").arg(i)));
        folder.writeEntries(records);
        // A partial last record is never read.
        QFile main(folder.file(QStringLiteral("DANE/spis_ks.dat")));
        QVERIFY(main.open(QIODevice::Append));
        main.write(QByteArray(100, 'x'));
        main.close();

        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        Register reg(ws);
        QStringList lines;
        reg.buildList(ViewMode::Nazwa, lines);
        QCOMPARE(lines.size(), 12);
        QCOMPARE(recordNumberOfLine(lines[11]), 12);
        QCOMPARE(reg.buffer().text(Field::nazwa1), QStringLiteral("Firma 12"));
        reg.load(recordNumberOfLine(lines[11]) - 1);
        QCOMPARE(reg.buffer().text(Field::id), QStringLiteral("12"));
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")).size(), 12 * 1678);

        // A filtered build keeps main-file record numbers and writes only what it lists.
        reg.buildList(ViewMode::Nazwa, lines,
                      [](const EntryRecord& r) { return r.text(Field::id).toInt() % 5 == 0; });
        QCOMPARE(lines.size(), 2);
        QCOMPARE(recordNumberOfLine(lines[1]), 10);
        const auto listed = folder.readEntries(QStringLiteral("DANE/sp_ks.dat"));
        QCOMPARE(listed.size(), size_t(2));
        QCOMPARE(listed[1].text(Field::id), QStringLiteral("10"));
    }

    // The list file of a full list is the main file's whole records; a filtered list holds what
    // it lists. A build that finds its very list in the file keeps the file (same inode, nothing
    // written); one that differs replaces it as a whole, the equal part copied by the kernel or,
    // refused, by the program. The register reads back its own list whatever is built after it.
    void listFileIsTheOwnListAndReplacedWhole_data() {
        QTest::addColumn<int>("refusal");
        QTest::newRow("kernel copy") << 0;
        QTest::newRow("kernel refuses") << EXDEV;
    }
    void listFileIsTheOwnListAndReplacedWhole() {
        QFETCH(int, refusal);
        DataFolder folder;
        std::vector<EntryRecord> records = thirtyEntries(QStringLiteral("Żuraw"));
        folder.writeEntries(records);
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        files::FaultInjector faults;
        ws.faults = &faults;
        Register reg(ws);
        QStringList lines;
        reg.buildList(ViewMode::NazwaKod, lines);
        QCOMPARE(lines.size(), 30);
        const QString listPath = folder.file(QStringLiteral("DANE/sp_ks.dat"));
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")),
                 folder.readBytes(QStringLiteral("DANE/spis_ks.dat")));

        // Another view of the same entries: the file is kept as it is.
        const auto before = files::identityOf(listPath);
        reg.buildList(ViewMode::Nazwa, lines);
        QVERIFY(files::identityOf(listPath) == before);

        // Entry 20 changed: a new file, byte for byte the main file.
        records[19].setText(Field::nazwa1, u"Źrebię");
        folder.writeEntries(records);
        if (refusal != 0)
            faults.failCall(files::Call::KernelCopy, 1, refusal);
        const int copies = faults.calls(files::Call::KernelCopy);
        reg.buildList(ViewMode::Nazwa, lines);
        QVERIFY(faults.calls(files::Call::KernelCopy) > copies);
        QVERIFY(!(files::identityOf(listPath) == before));
        const QByteArray main = folder.readBytes(QStringLiteral("DANE/spis_ks.dat"));
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")), main);
        QCOMPARE(lines[19].left(6), QStringLiteral("Źrebię"));

        reg.buildList(ViewMode::Nazwa, lines, fifth);
        Workstation otherWs = ws;
        otherWs.faults = nullptr;
        Register other(otherWs);
        other.buildList(ViewMode::Nazwa, lines);
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")), main);
        const files::RecordSource own = reg.listSource();
        QCOMPARE(files::recordCount(own, EntryRecord::Size), 6);
        files::RecordReader reader(own, EntryRecord::Size);
        for (int n = 5; n <= 30; n += 5)
            QCOMPARE(QByteArray(reader.next(), EntryRecord::Size),
                     main.mid((n - 1) * EntryRecord::Size, EntryRecord::Size));
        QVERIFY(reader.next() == nullptr);

        // A build that fails half-way leaves the list file as it was.
        records[2].setText(Field::nazwa1, u"Łoś");
        folder.writeEntries(records);
        faults.failWritesAfter(EntryRecord::Size * 2 + 10, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, reg.buildList(ViewMode::Nazwa, lines));
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")), main);
        QCOMPARE(QDir(folder.file(QStringLiteral("DANE"))).entryList(QDir::Files),
                 QStringList({"sp_ks.dat", "spis_ks.dat"}));
    }

    // A list file written beside the lines holds the records the lines were made of: an entry
    // added or a sort done by another workstation meanwhile changes nothing of it. A failed
    // write comes out when the list file is asked for, and leaves the file as it was.
    void listFileWrittenInTheBackground_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("nothing") << "";
        QTest::newRow("an entry added") << "add";
        QTest::newRow("a sort") << "sort";
        QTest::newRow("disk full") << "full";
    }
    void listFileWrittenInTheBackground() {
        QFETCH(QString, meanwhile);
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 300; ++i)
            records.push_back(entry(QString::number(i), QStringLiteral("Ćma %1").arg(301 - i)));
        folder.writeEntries(records);
        const QByteArray main = folder.readBytes(QStringLiteral("DANE/spis_ks.dat"));
        folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"), main.left(EntryRecord::Size));
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        files::FaultInjector faults;
        ws.faults = &faults;
        if (meanwhile == "full")
            faults.failWritesAfter(EntryRecord::Size, ENOSPC);
        Register reg(ws);
        reg.setListFileInBackground(1);
        EntryList list;
        reg.buildList(ViewMode::Nazwa, list);
        QCOMPARE(list.count(), 300);
        if (meanwhile == "add")
            files::appendRecord(
                ws.mainFile(),
                entry(QStringLiteral("301"), QStringLiteral("Ostatni")).toByteArray());
        if (meanwhile == "sort")
            sortRegister(ws, SortField::Nazwa1, false);
        if (meanwhile == "full") {
            // Remembered: never the shared list file, which another workstation may write.
            for (int ask = 0; ask < 2; ++ask)
                QVERIFY_THROWS_EXCEPTION(IoError, reg.listSource());
            QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")),
                     main.left(EntryRecord::Size));
            return;
        }
        const files::RecordSource own = reg.listSource();
        QCOMPARE(files::recordCount(own, EntryRecord::Size), 300);
        QCOMPARE(folder.readBytes(QStringLiteral("DANE/sp_ks.dat")), main);
        QCOMPARE(list.recordNumber(299), 300);
        QCOMPARE(list.line(299).left(6), QStringLiteral("Ćma 1 "));
    }

    // The list file a filtered list replaces is let go: at once, or for a list of background
    // size on a thread of its own, by the register's end at the latest; the new list file holds
    // the filtered entries either way.
    void replacedListFileLetGo_data() {
        QTest::addColumn<int>("backgroundFrom");
        QTest::newRow("at once") << 0;
        QTest::newRow("on a thread of its own") << 10;
    }
    void replacedListFileLetGo() {
        QFETCH(int, backgroundFrom);
        DataFolder folder;
        folder.writeEntries(thirtyEntries(QStringLiteral("Ślimak")));
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        const QString listPath = folder.file(QStringLiteral("DANE/sp_ks.dat"));
        {
            Register reg(ws);
            reg.setListFileInBackground(backgroundFrom);
            QStringList lines;
            reg.buildList(ViewMode::Nazwa, lines);
            QCOMPARE(files::recordCount(reg.listSource(), EntryRecord::Size), 30);
            reg.buildList(ViewMode::Nazwa, lines, fifth);
            QCOMPARE(lines.size(), 6);
            QCOMPARE(files::recordCount(reg.listSource(), EntryRecord::Size), 6);
            QCOMPARE(files::recordCount(files::RecordSource(listPath), EntryRecord::Size), 6);
            if (backgroundFrom == 0)
                QCOMPARE(openDeletedFiles(listPath), 0);
        }
        QCOMPARE(openDeletedFiles(listPath), 0);
    }

    // Conditions tested on the raw records by two threads, in stretches: the same lines, in the
    // same order, as the filter's own test of every entry gives.
    void preselectedPassGivesTheFilteredLines() {
        DataFolder folder;
        std::vector<EntryRecord> records;
        for (int i = 1; i <= 20000; ++i) {
            EntryRecord r =
                entry(QString::number(i), i % 7 == 0 ? QStringLiteral("Tartak %1").arg(i)
                                                     : QStringLiteral("Firma %1").arg(i));
            r.setText(Field::data, i % 2 ? u"2005-01-01" : u"2015-01-01");
            records.push_back(r);
        }
        folder.writeEntries(records);
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        const auto test = [](const EntryRecord& r) {
            return r.text(Field::nazwa1).contains(QStringLiteral("Tartak")) &&
                   r.text(Field::data) <= QStringLiteral("2009-12-31");
        };
        Preselection hint;
        hint.texts.push_back(
            {layoutOf(Field::nazwa1).offset, layoutOf(Field::nazwa1).width, "Tartak"});
        hint.ranges.push_back(
            {layoutOf(Field::data).offset, layoutOf(Field::data).width, "", "2009-12-31"});
        Register reg(ws);
        QStringList plain;
        reg.buildList(ViewMode::Nazwa, plain, test);
        QStringList preselected;
        reg.buildList(ViewMode::Nazwa, preselected, Register::Filter(test, hint));
        QCOMPARE(plain.size(), 1429); // odd multiples of 7
        QCOMPARE(preselected, plain);
        QCOMPARE(recordNumberOfLine(preselected.last()), 19999);
    }

    void staleLineFailsToLoad() {
        DataFolder folder;
        folder.writeEntries({entry(QStringLiteral("1"), QStringLiteral("A"))});
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        Register reg(ws);
        QVERIFY_THROWS_EXCEPTION(IoError, reg.load(1));
    }
};

KESTRANA_TEST(ListTest)
#include "ListTest.moc"
