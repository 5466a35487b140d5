#include "app/DuplicatesWindow.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QTreeWidget>

using namespace kestrana;

// "Znajdź powtórzone wpisy…": a group's heading and its entries' lines; selecting an entry's
// line asks the main window to show that entry, a heading shows nothing.
class DuplicatesWindowTest : public QObject {
    Q_OBJECT

private slots:
    void selectingALineShowsItsEntry() {
        EntryRecord first =
            test::entry(QStringLiteral("12"), QStringLiteral("Tartak"), QStringLiteral("T-1"));
        first.setText(Field::nip, QStringLiteral("5261040828"));
        EntryRecord second = test::entry(QStringLiteral("40"), QStringLiteral("TARTAK Sp. z o.o."));
        second.setText(Field::nip, QStringLiteral("526-104-08-28"));
        std::vector<duplicates::Group> groups = {
            {duplicates::SameNip, {{11, first}, {39, second}}}};
        QList<QPair<qint64, QString>> shown;
        DuplicatesWindow window(std::move(groups), [&](qint64 position, const QString& id) {
            shown.append({position, id});
        });
        QTreeWidget* tree = window.tree();
        QTreeWidgetItem* heading = tree->topLevelItem(0);
        QCOMPARE(heading->text(0), QStringLiteral("Grupa 1 (2 wpisy): ten sam NIP"));
        QCOMPARE(heading->child(0)->text(0), QStringLiteral("12"));
        QCOMPARE(heading->child(0)->text(1), QStringLiteral("T-1"));
        QCOMPARE(heading->child(1)->text(4), QStringLiteral("526-104-08-28"));
        tree->setCurrentItem(heading);
        QVERIFY(shown.isEmpty());
        tree->setCurrentItem(heading->child(1));
        QCOMPARE(shown, (QList<QPair<qint64, QString>>{{39, QStringLiteral("40")}}));
    }
};

KESTRANA_TEST(DuplicatesWindowTest)
#include "DuplicatesWindowTest.moc"
