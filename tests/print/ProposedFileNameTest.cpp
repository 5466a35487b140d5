// Every printout names the PDF file the print dialog proposes after itself (its kind, its entry
// or its date), not after the printout before it.
#include "cash/Voucher.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherPrintout.h"
#include "envelope/EnvelopePrintout.h"
#include "envelope/SerialEnvelopes.h"
#include "print/FontSettings.h"
#include "print/QtDialogs.h"
#include "print/TextPrintout.h"
#include "register/EntryForm.h"
#include "register/Register.h"
#include "reports/DefinablePrintout.h"
#include "reports/DetailedPrintout.h"
#include "reports/EntrySheet.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedDialogs;

namespace {

struct Office {
    DataFolder folder;
    Workstation ws;
    FontSettings fonts;

    Office() : fonts(folder.path()) {
        ws.baseDir = ws.workDir = folder.path();
        ws.today = QStringLiteral("2026-03-05");
        QDir(folder.path()).mkdir(QStringLiteral("DOKUMENTY"));
        folder.writeEntries({kestrana::test::entry(QStringLiteral("7"), QStringLiteral("Kwiaty"))});
        folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"), folder.readBytes("DANE/spis_ks.dat"));
    }
};

EntryFormValues entryForm() {
    EntryFormValues form;
    form[Field::id] = QStringLiteral("17");
    form[Field::nazwa1] = QStringLiteral("Zakład Stolarski Dąb");
    return form;
}

// The file name the print dialog of one print run proposed.
QString proposed(const std::function<void(Office&, Dialogs&)>& print) {
    Office office;
    ScriptedDialogs dialogs;
    dialogs.expectPrintCancel();
    print(office, dialogs);
    return dialogs.proposedFiles().value(0);
}

using PrintRunner = std::function<void(Office&, Dialogs&)>;

} // namespace

Q_DECLARE_METATYPE(PrintRunner)

class ProposedFileNameTest : public QObject {
    Q_OBJECT

private slots:
    void eachPrintoutItsOwn_data() {
        QTest::addColumn<PrintRunner>("print");
        QTest::addColumn<QString>("file");
        QTest::newRow("KP with its next number") << PrintRunner([](Office& o, Dialogs& d) {
            saveCounterParameters(o.ws, DocumentKind::KP, QStringLiteral("12"),
                                  QStringLiteral("2026"));
            Voucher v;
            v.kind = DocumentKind::KP;
            printVoucher(d, o.fonts, o.ws, v);
        }) << QStringLiteral("KP 12-2026");
        QTest::newRow("KW without a suffix") << PrintRunner([](Office& o, Dialogs& d) {
            saveCounterParameters(o.ws, DocumentKind::KW, QStringLiteral("3"), QString());
            Voucher v;
            v.kind = DocumentKind::KW;
            printVoucher(d, o.fonts, o.ws, v);
        }) << QStringLiteral("KW 3");
        QTest::newRow("detailed list") << PrintRunner([](Office& o, Dialogs& d) {
            Register reg(o.ws);
            runDetailedPrintout(d, o.fonts, reg);
        }) << QStringLiteral("Wydruk szczegółowy listy 2026-03-05");
        QTest::newRow("definable list") << PrintRunner([](Office& o, Dialogs& d) {
            Register reg(o.ws);
            runDefinablePrintout(d, o.fonts, reg, {});
        }) << QStringLiteral("Wydruk definiowalny 2026-03-05");
        QTest::newRow("entry") << PrintRunner([](Office& o, Dialogs& d) {
            runEntrySheetPrintout(d, o.fonts, entryForm());
        }) << QStringLiteral("Wpis 17 Zakład Stolarski Dąb");
        QTest::newRow("empty form") << PrintRunner([](Office& o, Dialogs& d) {
            runEntrySheetPrintout(d, o.fonts, EntryFormValues{});
        }) << QStringLiteral("Wpis");
        QTest::newRow("description") << PrintRunner([](Office& o, Dialogs& d) {
            runDescriptionPrintout(d, o.fonts, QStringLiteral("Kwiaty"), {});
        }) << QStringLiteral("Opis firmy Kwiaty");
        QTest::newRow("notepad") << PrintRunner([](Office& o, Dialogs& d) {
            runNotepadPrintout(d, o.fonts, QStringLiteral("Pomoc"), {});
        }) << QStringLiteral("Pomoc");
        QTest::newRow("envelope") << PrintRunner([](Office& o, Dialogs& d) {
            EnvelopeFields f;
            f.recipient[0] = QStringLiteral("Jan Kowalski");
            runPrintout(d, o.fonts, envelopePrintDocument(f), envelopePrintout(f, {}));
        }) << QStringLiteral("Koperta Jan Kowalski");
        QTest::newRow("serial envelopes") << PrintRunner([](Office& o, Dialogs& d) {
            runPrintout(d, o.fonts, serialEnvelopesPrintDocument(o.ws.today),
                        serialEnvelopePrintout({}, {}, o.ws.listFile(), AddressBlock::Seat));
        }) << QStringLiteral("Koperty seryjne 2026-03-05");
    }
    void eachPrintoutItsOwn() {
        QFETCH(PrintRunner, print);
        QFETCH(QString, file);
        QCOMPARE(proposed(print), file);
    }

    // The print dialog shows the proposal in the documents folder, for one printout after
    // another, and makes it a name a file system takes.
    void theDialogProposesIt() {
        QTemporaryDir documents;
        QtDialogs dialogs;
        dialogs.setDocumentsFolder(documents.path());
        QStringList shown;
        for (const PrintDocument& document :
             {PrintDocument(QStringLiteral("Wydruk szczegółowy listy"),
                            QStringLiteral("Wydruk szczegółowy listy 2026-03-05")),
              PrintDocument(QStringLiteral("Dokument Kp"), QStringLiteral("KP 12-2026")),
              PrintDocument(QStringLiteral("Opis firmy"), QStringLiteral("Opis firmy A/S: \"B\"")),
              PrintDocument(QStringLiteral("Notatnik"))}) {
            auto* timer = new QTimer;
            timer->setInterval(10);
            QObject::connect(timer, &QTimer::timeout, timer, [timer, &shown] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                timer->stop();
                timer->deleteLater();
                shown << dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->text();
                dialog->reject();
            });
            timer->start();
            QVERIFY(!dialogs.choosePrinter(document));
        }
        const QDir dir(documents.path());
        QCOMPARE(shown, (QStringList{dir.filePath("Wydruk szczegółowy listy 2026-03-05.pdf"),
                                     dir.filePath("KP 12-2026.pdf"),
                                     dir.filePath("Opis firmy A-S- \"B\".pdf"),
                                     dir.filePath("Notatnik.pdf")}));
    }
};

KESTRANA_TEST(ProposedFileNameTest)
#include "ProposedFileNameTest.moc"
