#include "print/TraceSurface.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

void companies(const DataFolder& folder, int count) {
    std::vector<EntryRecord> records;
    for (int i = 1; i <= count; ++i) {
        EntryRecord r = entry(QString::number(i), QStringLiteral("Firma Żółta %1").arg(i));
        r.setText(Field::miejscowosc, u"00-950 Warszawa");
        r.setText(Field::adres, u"ul. Długa 1");
        r.setText(Field::wojewodztwo, u"mazowieckie");
        r.setText(Field::mail, u"biuro@firma.example.pl");
        records.push_back(r);
    }
    folder.writeEntries(records);
}

int pages(const TraceSurface& trace) {
    return int(trace.lines().filter(QRegularExpression("^page$")).size()) + 1;
}

} // namespace

class PrintoutWiringTest : public QObject {
    Q_OBJECT

private slots:
    void listAndEntryPrintouts() {
        DataFolder folder;
        companies(folder, 14);
        WindowSession s;
        s.start(folder.path());
        TraceSurface detailed(600, 600);
        s.dialogs.expectPrint(detailed);
        s.trigger("Wydrukaktualnejlisty1");
        QCOMPARE(pages(detailed), 2); // 12 rows on page 1, the rest on page 2
        QVERIFY(detailed.lines().join('\n').contains(QStringLiteral("Firma Żółta 14")));

        TraceSurface sheet(300, 300);
        s.dialogs.expectPrint(sheet);
        s.setField("nazwa1", QStringLiteral("Niezapisana zmiana"));
        s.trigger("Nadrukarce1");
        QVERIFY(sheet.lines().join('\n').contains(QStringLiteral("Niezapisana zmiana")));

        const QString file = folder.file("wpis");
        s.dialogs.expectSaveFile(file);
        s.trigger("Dopliku1");
        const QByteArray bytes = folder.readBytes("wpis.txt");
        QCOMPARE(bytes.count("\r\n"), 36);
        QVERIFY(bytes.contains("Niezapisana zmiana"));

        s.dialogs.expectPrintCancel();
        s.trigger("Wydrukaktualnejlisty1");
    }

    // "Podgląd wydruku" is kept for the workstation; while it is on, printouts open the preview,
    // which shows the pages the printer gets.
    void printPreview_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("detailed list") << QStringLiteral("Wydrukaktualnejlisty1");
        QTest::newRow("entry") << QStringLiteral("Nadrukarce1");
    }

    void printPreview() {
        QFETCH(QString, action);
        DataFolder folder;
        companies(folder, 14);
        TraceSurface direct(600, 600);
        {
            WindowSession s;
            s.start(folder.path());
            QVERIFY(!s.find<QAction>("Podgladwydruku1")->isChecked());
            s.dialogs.expectPrint(direct);
            s.trigger(action.toLatin1());
            s.trigger("Podgladwydruku1");
            QVERIFY(s.find<QAction>("Podgladwydruku1")->isChecked());
            s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), true);
            QVERIFY(s.window->requestExit());
        }
        WindowSession s;
        s.start(folder.path());
        QVERIFY(s.find<QAction>("Podgladwydruku1")->isChecked());
        TraceSurface closed(600, 600);
        s.dialogs.expectPreview(closed);
        s.trigger(action.toLatin1());
        TraceSurface preview(600, 600);
        TraceSurface paper(600, 600);
        s.dialogs.expectPreview(preview, &paper);
        s.trigger(action.toLatin1());
        QCOMPARE(closed.lines(), direct.lines());
        QCOMPARE(preview.lines(), direct.lines());
        QCOMPARE(paper.lines(), direct.lines());

        s.trigger("Podgladwydruku1");
        TraceSurface again(600, 600);
        s.dialogs.expectPrint(again);
        s.trigger(action.toLatin1());
        QCOMPARE(again.lines(), direct.lines());
    }

    void definablePanel() {
        DataFolder folder;
        companies(folder, 3);
        WindowSession s;
        s.start(folder.path());
        s.trigger("Wydrukuproszczonylisty1");
        auto* panel = s.find<QWidget>("Panel22");
        QVERIFY(!panel->isHidden());
        QCOMPARE(panel->geometry(), QRect(146, 116, 665, 450));
        QVERIFY(!s.find<QWidget>("Panel1")->isEnabled());
        auto* pole1 = s.find<QComboBox>("pole1");
        QVERIFY(pole1->count() > 0);
        s.find<QRadioButton>("dr2")->setChecked(true);
        QVERIFY(!pole1->isEnabled());
        QVERIFY(s.find<QComboBox>("pole2")->isEnabled());
        s.find<QComboBox>("pole2")->setCurrentIndex(0);
        s.setField("tytul", QStringLiteral("Zestawienie"));
        TraceSurface trace(600, 600);
        s.dialogs.expectPrint(trace);
        s.click("SpeedButton13");
        QVERIFY(trace.lines().join('\n').contains(QStringLiteral("Zestawienie")));
        QVERIFY(!panel->isHidden());
        s.window->updateStatus();
        QVERIFY(!s.find<QWidget>("SpeedButton15")->isEnabled());
        s.click("SpeedButton14");
        QVERIFY(panel->isHidden());
        QVERIFY(s.find<QWidget>("Panel1")->isEnabled());
        // Opening again does not pile up the choices.
        const int choices = pole1->count();
        s.trigger("Wydrukuproszczonylisty1");
        QCOMPARE(pole1->count(), choices);
    }

    void descriptionPrintUsesTheHeadingAsOpened() {
        DataFolder folder;
        companies(folder, 1);
        WindowSession s;
        s.start(folder.path());
        s.click("SpeedButton18");
        s.setField("nazwa1", QStringLiteral("Zmieniona"));
        s.find<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("linia 1\nlinia 2"));
        TraceSurface trace(600, 600);
        s.dialogs.expectPrint(trace);
        s.click("SpeedButton20");
        const QString printed = trace.lines().join('\n');
        QVERIFY(printed.contains(QStringLiteral("Firma Żółta 1")));
        QVERIFY(!printed.contains(QStringLiteral("Zmieniona")));
        QVERIFY(printed.contains(QStringLiteral("linia 2")));
    }

    void addressHelpers() {
        DataFolder folder;
        companies(folder, 1);
        WindowSession s;
        s.start(folder.path());
        QStringList started;
        s.window->setProgramStarter([&](const commands::CommandLine& line, const QString& dir) {
            started << line.text() + " @ " + dir;
            return commands::StartOutcome::Started;
        });
        QList<int> envelopeBlocks;
        s.window->setEnvelopeOpener([&](const EntryFormValues& form, int block) {
            QCOMPARE(form[Field::adres], QStringLiteral("ul. Długa 1"));
            envelopeBlocks << block;
        });
        s.click("SpeedButton4");
        QCOMPARE(s.field("miejscowosck"), QStringLiteral("00-950 Warszawa"));
        QCOMPARE(s.field("adresk"), QStringLiteral("ul. Długa 1"));
        QCOMPARE(s.field("wojewodztwok"), QStringLiteral("mazowieckie"));

        s.click("Button4");
        auto* chooser = s.find<QWidget>("Panel17");
        QVERIFY(!chooser->isHidden());
        QCOMPARE(chooser->geometry(), QRect(12, 16, 252, 527));
        auto* list = s.find<QListWidget>("listaw");
        QCOMPARE(list->count(), 16);
        QCOMPARE(list->item(0)->text(), QStringLiteral("dolnośląskie"));
        QCOMPARE(list->item(4)->text(), QStringLiteral("łódzkie"));
        emit list->itemDoubleClicked(nullptr); // nothing selected: nothing changes
        QVERIFY(!chooser->isHidden());
        list->setCurrentRow(11);
        emit list->itemDoubleClicked(list->item(11));
        QVERIFY(chooser->isHidden());
        QCOMPARE(s.field("wojewodztwoo"), QStringLiteral("śląskie"));
        s.click("Button2");
        s.click("SpeedButton8");
        QVERIFY(chooser->isHidden());
        QCOMPARE(s.field("wojewodztwo"), QStringLiteral("mazowieckie"));

        s.click("SpeedButton2");
        s.click("SpeedButton6"); // the contact's address is empty: nothing starts
        QCOMPARE(started, QStringList{"kormel.exe biuro@firma.example.pl @ " + folder.path()});

        s.click("SpeedButton3");
        s.click("SpeedButton5");
        s.click("SpeedButton7");
        QCOMPARE(envelopeBlocks, QList<int>({1, 2, 3}));
    }
};

KESTRANA_TEST(PrintoutWiringTest)
#include "PrintoutWiringTest.moc"
