#include "station/SmallRecords.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QProcess>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");

// Entries with IDs 10, 11, ... 29 named "Firma 10" ...
void twentyEntries(const DataFolder& folder) {
    std::vector<EntryRecord> records;
    for (int id = 10; id < 30; ++id) {
        EntryRecord r = entry(QString::number(id), QStringLiteral("Firma %1").arg(id));
        if (id == 12)
            r.setCategory(3, true);
        records.push_back(r);
    }
    folder.writeEntries(records);
    folder.writeBytes("ADMINI/id_ks.dat", int32Bytes(30));
}

} // namespace

class EditingWindowTest : public QObject {
    Q_OBJECT

private slots:
    void secondWorkstationIsRefusedAShownEntry() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession a;
        WindowSession b;
        a.start(folder.path());
        b.prompts.expectInformation(kBusy); // B starts on entry 10, which A shows
        b.start(folder.path());
        QVERIFY(QFile::exists(folder.file("KOSZ/10.p")));
        QCOMPARE(b.field("id"), QString());
        // B shows 11; A takes 17.
        b.clickLine(1);
        a.clickLine(7);
        QCOMPARE(a.field("id"), QStringLiteral("17"));
        // Clicking the shown entry again never shows the message.
        a.clickLine(7);

        b.prompts.expectInformation(kBusy);
        b.clickLine(7);
        QVERIFY(b.prompts.done());
        QCOMPARE(b.field("id"), QString());
        QCOMPARE(b.field("nazwa1"), QString());
        QVERIFY(!QFile::exists(folder.file("KOSZ/11.p"))); // B released 11 before the check

        // With the blank form B may neither save nor delete.
        const QByteArray before = folder.readBytes("DANE/spis_ks.dat");
        b.prompts.expectInformation(QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                                   "Wybierz wpis z listy i ponów operację."));
        b.click("SpeedButton17");
        b.prompts.expectInformation(QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                                   "Wybierz wpis z listy i ponów operację."));
        b.click("SpeedButton16");
        QCOMPARE(folder.readBytes("DANE/spis_ks.dat"), before);

        // A moves on to 18; B now gets 17.
        a.click("SpeedButton11");
        QCOMPARE(a.field("id"), QStringLiteral("18"));
        QVERIFY(!QFile::exists(folder.file("KOSZ/17.p")));
        QVERIFY(QFile::exists(folder.file("KOSZ/18.p")));
        b.clickLine(7);
        QCOMPARE(b.field("id"), QStringLiteral("17"));

        // Enter shows a held entry without a lock, but B still cannot change it.
        {
            const QSignalBlocker block(b.lista());
            b.lista()->setCurrentRow(8);
        }
        QTest::keyClick(b.lista(), Qt::Key_Return);
        QCOMPARE(b.field("id"), QStringLiteral("18"));
        b.prompts.expectInformation(kBusy);
        b.click("SpeedButton17");
    }

    void killedProgramLeavesItsLock() {
        const QString program = QFileInfo(qEnvironmentVariable("KESTRANA_BIN")).absoluteFilePath();
        QVERIFY(!program.isEmpty());
        DataFolder folder;
        twentyEntries(folder);
        QProcess p;
        p.setWorkingDirectory(folder.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(program);
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.file("KOSZ/10.p")), 20000);
        p.kill();
        QVERIFY(p.waitForFinished());
        QVERIFY(QFile::exists(folder.file("KOSZ/10.p")));
        WindowSession again;
        again.prompts.expectInformation(kBusy);
        again.start(folder.path());
        QCOMPARE(again.field("id"), QString());
    }

    void addingTwoEntries() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        for (const QString& name : {QStringLiteral("Nowa Jeden"), QStringLiteral("Nowa Dwa")}) {
            s.click("SpeedButton15");
            QVERIFY(s.window->addMode());
            QCOMPARE(s.find<QAbstractButton>("SpeedButton15")->text(),
                     QStringLiteral("Zan&iechaj"));
            QVERIFY(!s.lista()->isEnabled());
            QCOMPARE(s.field("id"), QString());
            s.setField("nazwa1", name);
            s.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
            s.click("SpeedButton17");
            QVERIFY(!s.window->addMode());
            QCOMPARE(s.find<QAbstractButton>("SpeedButton15")->text(),
                     QStringLiteral("Dodaj wp&is"));
            QCOMPARE(s.field("nazwa1"), name);
            QCOMPARE(s.lista()->currentRow(), s.lista()->count() - 1);
        }
        const auto entries = folder.readEntries();
        QCOMPARE(entries.size(), size_t(22));
        QCOMPARE(entries[20].text(Field::id), QStringLiteral("30"));
        QCOMPARE(entries[21].text(Field::id), QStringLiteral("31"));
        QCOMPARE(entries[21].text(Field::datamodyfikacji), QStringLiteral("2007-03-05"));
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(32));
        // KOSZ/wpis.dat keeps the buffer as it was when the second entry was saved.
        QCOMPARE(EntryRecord::fromBytes(folder.readBytes("KOSZ/wpis.dat")).text(Field::id),
                 QStringLiteral("30"));
        QVERIFY(QFile::exists(folder.file("KOSZ/31.p")));
    }

    void answeringNoRestoresTheStoredValues() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        s.setField("nazwa1", QStringLiteral("Zmiana"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), false);
        s.click("SpeedButton17");
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Firma 10"));

        s.setField("nazwa1", QStringLiteral("Zmiana"));
        s.setField("datamodyfikacji", QStringLiteral("1999-01-01"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Zmiana"));
        QCOMPARE(s.field("datamodyfikacji"), QStringLiteral("2007-03-05"));
        QCOMPARE(folder.readEntries()[0].text(Field::nazwa1), QStringLiteral("Zmiana"));
    }

    void deletingEntries() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        s.clickLine(4);
        s.prompts.expectQuestion(QStringLiteral("Usunąć wpis ?"), true);
        s.prompts.expectInformation(QStringLiteral("Wpis został usunięty."));
        s.click("SpeedButton16");
        QCOMPARE(s.lista()->count(), 19);
        QCOMPARE(s.lista()->currentRow(), 0);
        QCOMPARE(s.field("id"), QStringLiteral("10"));
        QCOMPARE(s.rowOfId("14"), -1);
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(30));
        QVERIFY(!QFile::exists(folder.file("KOSZ/14.p")));

        DataFolder single;
        WindowSession one;
        one.start(single.path());
        one.prompts.expectInformation(QStringLiteral("Nie można skasować ostatniego wpisu."));
        one.click("SpeedButton16");
        QCOMPARE(single.readEntries().size(), size_t(1));
    }

    void navigationLeavesAddMode_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("row");
        QTest::newRow("<<") << "SpeedButton9" << 0;
        QTest::newRow("<") << "SpeedButton10" << 4;
        QTest::newRow(">") << "SpeedButton11" << 6;
        QTest::newRow(">>") << "SpeedButton12" << 19;
    }
    void navigationLeavesAddMode() {
        QFETCH(QString, button);
        QFETCH(int, row);
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        s.clickLine(5);
        s.click("SpeedButton15");
        s.click(qPrintable(button));
        QVERIFY(!s.window->addMode());
        QCOMPARE(s.find<QAbstractButton>("SpeedButton15")->text(), QStringLiteral("Dodaj wp&is"));
        QCOMPARE(s.lista()->currentRow(), row);
        QCOMPARE(s.field("id"), QString::number(10 + row));
    }

    void rememberAndInsert() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        s.setField("telefon", QStringLiteral("22 555"));
        s.trigger("e1");
        s.clickLine(2); // entry 12 has category 3
        QVERIFY(s.find<QCheckBox>("k3")->isChecked());
        s.trigger("e2");
        QCOMPARE(s.field("id"), QStringLiteral("12"));
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Firma 10"));
        QCOMPARE(s.field("telefon"), QStringLiteral("22 555"));
        QVERIFY(!s.find<QCheckBox>("k3")->isChecked());
        s.click("Button1");
        QCOMPARE(s.field("data"), QStringLiteral("2007-03-05"));
    }

    void idCounterPanel() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession clerk;
        clerk.start(folder.path());
        clerk.prompts.expectInformation(QStringLiteral(
            "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
        clerk.trigger("SprawdaktualnynumerIDklienta1");
        QVERIFY(clerk.find<QWidget>("Panel3")->isHidden());

        WindowSession boss;
        boss.prompts.expectInformation(kBusy);
        boss.startAsBoss(folder.path());
        boss.trigger("SprawdaktualnynumerIDklienta1");
        QVERIFY(!boss.find<QWidget>("Panel3")->isHidden());
        QCOMPARE(boss.field("aktualny_id"), QStringLiteral("30"));
        boss.setField("aktualny_id", QStringLiteral("12ab"));
        boss.click("SpeedButton23");
        QVERIFY(boss.find<QWidget>("Panel3")->isHidden());
        QCOMPARE(folder.readBytes("ADMINI/id_ks.dat"), int32Bytes(12));
    }

    void exitReleasesTheLock() {
        DataFolder folder;
        twentyEntries(folder);
        WindowSession s;
        s.start(folder.path());
        QVERIFY(QFile::exists(folder.file("KOSZ/10.p")));
        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), false);
        s.window->close();
        QVERIFY(QFile::exists(folder.file("KOSZ/10.p")));
        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), true);
        s.window->close();
        QVERIFY(!QFile::exists(folder.file("KOSZ/10.p")));
        QCOMPARE(s.ended, 1);
    }
};

KESTRANA_TEST(EditingWindowTest)
#include "EditingWindowTest.moc"
