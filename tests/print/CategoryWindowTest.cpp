#include "print/CategoryWindow.h"
#include "platform/CheckedFile.h"
#include "register/CategoryNames.h"
#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedPrompts;

namespace {

const QString kNamesFile = QStringLiteral("ADMINI/kategorie_ks.dat");

Workstation workstationIn(const DataFolder& folder) {
    Workstation ws;
    ws.workDir = folder.path();
    ws.baseDir = folder.path();
    ws.boss = true;
    return ws;
}

QTableWidget* grid(Tkat_f& window) {
    return window.findChild<QTableWidget*>(QStringLiteral("tabela"));
}

void type(Tkat_f& window, int row, int column, const QString& text) {
    grid(window)->item(row, column)->setText(text);
}

} // namespace

class CategoryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void freshInstallationShowsDefaults() {
        DataFolder folder;
        const Workstation ws = workstationIn(folder);
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        QCOMPARE(window.windowTitle(), QStringLiteral("Kategorie wpisów i definicje zawartości"));
        QCOMPARE(folder.readBytes(kNamesFile), CategoryNames::defaults().toBytes());

        QTableWidget* tabela = grid(window);
        QCOMPARE(tabela->rowCount(), 21);
        QCOMPARE(tabela->columnCount(), 3);
        QCOMPARE(tabela->item(0, 0)->text(), QStringLiteral("Lp"));
        QCOMPARE(tabela->item(0, 1)->text(), QStringLiteral("Kategoria"));
        QCOMPARE(tabela->item(0, 2)->text(), QStringLiteral("Grupa"));
        for (int row = 1; row <= 20; ++row) {
            QCOMPARE(tabela->item(row, 0)->text(), QString::number(row));
            QCOMPARE(tabela->item(row, 1)->text(), QStringLiteral("nieznana"));
            QCOMPARE(tabela->item(row, 2)->text(), QStringLiteral("nieznana"));
        }
        // The header row and the numbers cannot be edited, the names can.
        QVERIFY(!(tabela->item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(tabela->item(5, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(tabela->item(5, 2)->flags() & Qt::ItemIsEditable);

        auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QVERIFY(memo && memo->isReadOnly());
        QCOMPARE(memo->toPlainText(), QStringLiteral("Wpisz stosowane nazwy \n"
                                                     "kategorii oraz grup które \n"
                                                     "chcesz stosować."));
        auto* powrot = window.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        QVERIFY(powrot);
        QCOMPARE(powrot->text(), QStringLiteral("&Powrót"));
    }

    void powrotStoresEditedNames() {
        DataFolder folder;
        const Workstation ws = workstationIn(folder);
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        window.open();
        QVERIFY(window.isVisible());
        QSignalSpy stored(&window, &Tkat_f::namesStored);

        type(window, 1, 1, QStringLiteral("Producenci mleka"));    // 16 characters
        type(window, 3, 2, QStringLiteral("Gospodarstwa rolne!")); // 19 characters
        type(window, 20, 2, QStringLiteral("Dwudziesta"));
        type(window, 7, 1, QString());
        type(window, 9, 1, QStringLiteral("Łódzkie"));
        QVERIFY(window.storeAndClose());
        QVERIFY(!window.isVisible());

        const CategoryNames names = CategoryNames::fromBytes(folder.readBytes(kNamesFile));
        QCOMPARE(names.categories[0], QStringLiteral("Producenci mlek"));
        QCOMPARE(names.groups[2], QStringLiteral("Gospodarstwa ro"));
        QCOMPARE(names.groups[19], QStringLiteral("Dwudziesta"));
        QCOMPARE(names.categories[6], QString());
        QCOMPARE(names.categories[8], QStringLiteral("Łódzkie"));
        QCOMPARE(names.categories[1], QStringLiteral("nieznana"));
        // The grid keeps what was typed until the window is opened again.
        QCOMPARE(grid(window)->item(1, 1)->text(), QStringLiteral("Producenci mleka"));
        QCOMPARE(stored.count(), 1);
        const auto signalled = stored.at(0).at(0).value<CategoryNames>();
        QCOMPARE(signalled.categories[0], QStringLiteral("Producenci mlek"));

        window.open();
        QCOMPARE(grid(window)->item(1, 1)->text(), QStringLiteral("Producenci mlek"));
    }

    // Each opening reloads the file, so another workstation's names are shown; leaving always
    // rewrites it, even unchanged.
    void openingReloadsAndLeavingRewrites() {
        DataFolder folder;
        const Workstation ws = workstationIn(folder);
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        CategoryNames other = CategoryNames::defaults();
        other.groups[4] = QStringLiteral("Z innej stacji");
        CategoryNames::write(folder.file(kNamesFile), other);
        window.open();
        QCOMPARE(grid(window)->item(5, 2)->text(), QStringLiteral("Z innej stacji"));

        // Bytes beyond a name's length are not kept: the rewrite is the clean record.
        QByteArray dirty = other.toBytes();
        dirty[16 * 3 + 12] = 'x';
        folder.writeBytes(kNamesFile, dirty);
        QVERIFY(window.storeAndClose());
        QCOMPARE(folder.readBytes(kNamesFile), other.toBytes());
    }

    void namesLieUnderTheBaseDirectoryOfSiecDat() {
        DataFolder work;
        DataFolder network;
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaSieciowa = network.path();
        work.writeBytes(QStringLiteral("ADMINI/siec.dat"), siec.toBytes());
        const Workstation ws = workstationIn(work);
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        QCOMPARE(window.namesFile(), network.file(kNamesFile));
        QVERIFY(!QFile::exists(work.file(kNamesFile)));
        type(window, 2, 1, QStringLiteral("Sieć"));
        QVERIFY(window.storeAndClose());
        QCOMPARE(CategoryNames::fromBytes(network.readBytes(kNamesFile)).categories[1],
                 QStringLiteral("Sieć"));
    }

    void failedStoreKeepsWindowAndFile() {
        DataFolder folder;
        Workstation ws = workstationIn(folder);
        files::FaultInjector faults;
        ws.faults = &faults;
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        window.open();
        type(window, 1, 1, QStringLiteral("Nowa"));
        faults.failWritesAfter(100, ENOSPC);
        prompts.expectError();
        QSignalSpy stored(&window, &Tkat_f::namesStored);
        QVERIFY(!window.storeAndClose());
        faults.clear();
        QVERIFY(prompts.done());
        QVERIFY(window.isVisible());
        QCOMPARE(stored.count(), 0);
        QCOMPARE(folder.readBytes(kNamesFile), CategoryNames::defaults().toBytes());
        // Once the disk has room again, the edits are still there to store.
        QVERIFY(window.storeAndClose());
        QCOMPARE(CategoryNames::fromBytes(folder.readBytes(kNamesFile)).categories[0],
                 QStringLiteral("Nowa"));
    }

    void missingAdminDirectoryIsReported() {
        DataFolder folder;
        const Workstation ws = workstationIn(folder);
        ScriptedPrompts prompts;
        Tkat_f window(ws, prompts);
        QVERIFY(QDir(folder.file(QStringLiteral("ADMINI"))).removeRecursively());
        prompts.expectError();
        window.open();
        QVERIFY(!window.isVisible());
    }
};

KESTRANA_TEST(CategoryWindowTest)
#include "CategoryWindowTest.moc"
