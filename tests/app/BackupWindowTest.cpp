#include "app/MainWindow.h"
#include "platform/CheckedFile.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTest>

#include <cstring>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;

using Session = kestrana::test::WindowSession;

class BackupWindowTest : public QObject {
    Q_OBJECT

private slots:

    // The first start of the day copies silently; the menu item copies again and names the
    // folder.
    void menuItemReportsTheFolder() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        Session s;
        s.start(folder.path());
        QVERIFY(s.window->startupCompleted());
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readEntries("KOPIE/2007-03-05_1405/DANE/spis_ks.dat").size(), size_t(2));
        QVERIFY(s.find<QAction>("Kopiazapasowa1")->isEnabled());

        s.setField("nazwa1", QStringLiteral("Alfa 2"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        QVERIFY(QDir(folder.file("DOKUMENTY")).removeRecursively());
        s.prompts.expectInformation(
            QStringLiteral("Kopia zapasowa została zapisana w folderze\n%1\n"
                           "Pominięto brakujące katalogi: DOKUMENTY.")
                .arg(QDir::toNativeSeparators(folder.file("KOPIE/2007-03-05_1405_2"))));
        s.trigger("Kopiazapasowa1");
        // The morning's copy stays beside the new one.
        QCOMPARE(
            folder.readEntries("KOPIE/2007-03-05_1405_2/DANE/spis_ks.dat")[0].text(Field::nazwa1),
            QStringLiteral("Alfa 2"));
        QCOMPARE(
            folder.readEntries("KOPIE/2007-03-05_1405/DANE/spis_ks.dat")[0].text(Field::nazwa1),
            QStringLiteral("Alfa"));
    }

    // The boss picks a copy from the list; the register, the list and the form show it, and
    // the state it replaced is a new copy. Others are refused; a cancelled pick changes nothing.
    void restoreAPickedCopy() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        Session s;
        s.start(folder.path(), {"kestrana", "", "123456789k"});
        QVERIFY(s.prompts.done());
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta"), entry("3", "Gamma")});

        s.dialogs.expectItem(QString(), QStringLiteral("Przywróć kopię"));
        s.trigger("Przywrockopie1");
        QCOMPARE(s.dialogs.lastPickItems(), QStringList{"2007-03-05_1405"});
        s.dialogs.expectItem(QStringLiteral("2007-03-05_1405"));
        s.prompts.expectQuestion(
            QStringLiteral("Przywrócić kopię 2007-03-05_1405 ?\nObecny stan rejestru zostanie "
                           "najpierw zapisany jako nowa kopia w folderze KOPIE."),
            false);
        s.trigger("Przywrockopie1");
        QCOMPARE(folder.readEntries().size(), size_t(3));

        s.dialogs.expectItem(QStringLiteral("2007-03-05_1405"));
        s.prompts.expectQuestion(QStringLiteral("Przywrócić kopię 2007-03-05_1405 ?\nObecny stan "
                                                "rejestru zostanie najpierw zapisany jako nowa "
                                                "kopia w folderze KOPIE."),
                                 true);
        s.prompts.expectInformation(
            QStringLiteral("Przywrócono kopię 2007-03-05_1405 (DANE, ADMINI, OPISY, DOKUMENTY).\n"
                           "Stan sprzed przywrócenia jest w kopii\n%1")
                .arg(QDir::toNativeSeparators(folder.file("KOPIE/2007-03-05_1405_2"))));
        s.trigger("Przywrockopie1");
        QVERIFY(s.prompts.done());
        QCOMPARE(folder.readEntries().size(), size_t(2));
        QCOMPARE(folder.readEntries("KOPIE/2007-03-05_1405_2/DANE/spis_ks.dat").size(), size_t(3));
        QCOMPARE(s.lista()->count(), 2);

        Session other; // entry 1 is the boss's
        other.prompts.expectInformation(
            QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                           "Poczekaj na jego zwolnienie a następnie ponów operację"));
        other.start(folder.path());
        other.prompts.expectInformation(QStringLiteral(
            "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
        other.trigger("Przywrockopie1");
        QVERIFY(other.prompts.done());
    }

    void menuItemReportsAFailure() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa")});
        Session s;
        s.start(folder.path());
        s.prompts.expectError(QString::fromLocal8Bit(std::strerror(ENOSPC)));
        s.faults.failWritesAfter(10, ENOSPC);
        s.trigger("Kopiazapasowa1");
        s.faults.clear();
        QVERIFY(s.prompts.done());
        QVERIFY(s.prompts.shown().last().startsWith(
            QStringLiteral("Nie udało się wykonać kopii zapasowej.\n")));
        // The morning's copy is still there, whole; nothing half made beside it.
        QCOMPARE(QDir(folder.file("KOPIE")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{"2007-03-05_1405"});
        QCOMPARE(folder.readEntries("KOPIE/2007-03-05_1405/DANE/spis_ks.dat").size(), size_t(1));
    }

    // A daily copy that cannot be made is reported and the window starts as usual.
    void failingDailyCopyIsReported() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa"), entry("2", "Beta")});
        folder.writeBytes("KOPIE", "a file where the copies should go");
        Session s;
        s.prompts.expectError(QStringLiteral("KOPIE"));
        s.start(folder.path());
        QVERIFY(s.prompts.shown().last().startsWith(
            QStringLiteral("Nie udało się wykonać codziennej kopii zapasowej.\n")));
        QVERIFY(s.window->startupCompleted());
        QCOMPARE(s.lista()->count(), 2);
        QVERIFY(s.lista()->isEnabled());
        QCOMPARE(s.field("id"), QStringLiteral("1"));
    }
};

KESTRANA_TEST(BackupWindowTest)
#include "BackupWindowTest.moc"
