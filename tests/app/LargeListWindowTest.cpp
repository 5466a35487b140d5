#include "platform/CheckedFile.h"
#include "register/DataFolderSetup.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QLineEdit>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

constexpr int kEntries = 200000;

EntryRecord recordAt(const DataFolder& folder, qint64 number) {
    return EntryRecord::fromBytes(
        files::readRecord(folder.file("DANE/spis_ks.dat"), number - 1, EntryRecord::Size));
}

// The entry the form shows is the one the selected line names.
void checkSelectedEntry(const WindowSession& s, const DataFolder& folder) {
    const int row = s.lista()->currentRow();
    QVERIFY(row >= 0);
    const qint64 number = s.window->session().list().recordNumber(row);
    const EntryRecord listed = recordAt(folder, number);
    QCOMPARE(s.field("id"), listed.text(Field::id));
    QCOMPARE(s.field("nazwa1"), listed.text(Field::nazwa1));
    QVERIFY(s.lista()->lineText(row).contains(listed.text(Field::nazwa1).left(35)));
}

} // namespace

// The window over a large register: each step shows the right lines and the entry the selected
// line names.
class LargeListWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startViewFilterAndSearch() {
        DataFolder folder;
        folder.writeEntries({entry(QStringLiteral("1"), QStringLiteral("Pierwsza firma"))});
        folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(2));
        {
            Workstation ws;
            ws.workDir = ws.baseDir = folder.path();
            generateEntries(ws, kEntries - 1, 7);
        }
        QCOMPARE(files::recordCount(folder.file("DANE/spis_ks.dat"), EntryRecord::Size), kEntries);

        WindowSession s;
        s.start(folder.path());
        QCOMPARE(s.lista()->count(), kEntries);
        QCOMPARE(s.lista()->currentRow(), 0);
        checkSelectedEntry(s, folder);

        s.window->setViewMode(ViewMode::KodNazwa);
        QCOMPARE(s.lista()->count(), kEntries);
        QCOMPARE(s.lista()->currentRow(), 0);
        checkSelectedEntry(s, folder);
        const EntryRecord last = recordAt(folder, kEntries);
        QVERIFY(s.lista()->lineText(kEntries - 1).startsWith(last.text(Field::numer) + ' '));

        // A filter: entries in category 3 only, each with its own record number.
        QVERIFY(s.window->buildList([](const EntryRecord& r) { return r.category(3); }));
        int inCategory = 0;
        qint64 lastInCategory = 0;
        files::RecordReader main(folder.file("DANE/spis_ks.dat"), EntryRecord::Size);
        while (const char* record = main.next()) {
            if (record[EntryRecord::CategoriesOffset + 2] == 1) {
                ++inCategory;
                lastInCategory = main.recordsRead();
            }
        }
        QVERIFY(inCategory > 0 && inCategory < kEntries);
        QCOMPARE(s.lista()->count(), inCategory);
        QCOMPARE(s.window->session().list().recordNumber(inCategory - 1), lastInCategory);
        s.window->selectLine();
        checkSelectedEntry(s, folder);

        // A search for the whole last line reaches it and loads its entry.
        s.find<QLineEdit>(QStringLiteral("coszukac"))->setText(s.lista()->lineText(inCategory - 1));
        s.window->search();
        QCOMPARE(s.lista()->currentRow(), inCategory - 1);
        checkSelectedEntry(s, folder);
    }
};

KESTRANA_TEST(LargeListWindowTest)
#include "LargeListWindowTest.moc"
