#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/VatRegisterServer.h"
#include "support/WindowSession.h"
#include "vat/VatClient.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::VatRegisterServer;
using kestrana::test::WindowSession;

namespace {

// A main window on one entry, asking the register's stand-in.
struct VatSession {
    DataFolder folder;
    VatRegisterServer server;
    WindowSession s;

    VatSession() {
        folder.writeEntries({entry(QStringLiteral("1"), QStringLiteral("Stara nazwa"))});
        s.start(folder.path());
        s.window->vatClient().setBaseUrl(server.url());
    }
    // Clicks the button and lets the request run to its end.
    bool run(const char* button) {
        QSignalSpy finished(&s.window->vatClient(), &vat::Client::finished);
        s.click(button);
        return finished.wait(20000);
    }
    QProgressDialog* progress() const {
        return s.window->findChild<QProgressDialog*>(QStringLiteral("vatPostep"));
    }
};

} // namespace

// "Pobierz z wykazu VAT" and "Sprawdź konto": the register asked without blocking the window,
// what the user picks put into the form and nothing saved; every failure a message and the
// form as it was.
class VatWiringTest : public QObject {
    Q_OBJECT

private slots:
    void lookUpFillsWhatTheUserPicks() {
        VatSession v;
        WindowSession& s = v.s;
        s.setField("nip", QStringLiteral("123-456-32-18"));
        s.setField("konto", QStringLiteral("27 1140 2004 0000 3002 0135 5387"));
        s.dialogs.expectTakeOver(TakeOverAnswer{0, 0, 0, 1},
                                 QStringLiteral("Dane z wykazu podatników VAT"));
        QSignalSpy finished(&s.window->vatClient(), &vat::Client::finished);
        s.click("vatLookup");
        // Asked in the background: a window with "Anuluj" and the busy cursor meanwhile.
        QVERIFY(v.progress() && v.progress()->isVisible());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        QVERIFY(finished.wait(20000));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(v.server.requests(),
                 QStringList{QStringLiteral("/api/search/nip/1234563218?date=2007-03-05")});

        const QList<TakeOverItem>& items = s.dialogs.lastItems();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[1].values,
                 QStringList{QStringLiteral(
                     "miejscowość: 00-916 WARSZAWA, adres: UL. ŚWIĘTOKRZYSKA 12/3")});
        // The form's own account is preset among the register's.
        QCOMPARE(items[3].label, QStringLiteral("Konto"));
        QCOMPARE(items[3].chosen, 2);
        const QString report = s.dialogs.lastReport();
        for (const char* line :
             {"Status VAT: Czynny", "KRS: 0000123456",
              "Rachunek 3: 27 1140 2004 0000 3002 0135 5387",
              "Identyfikator zapytania: Zq4nt-8a7b5c3", "Data zapytania: 05-03-2007 14:05:09"})
            QVERIFY2(report.split(u'\n').contains(QString::fromUtf8(line)), line);

        // The name runs over both lines; the account chosen is the second.
        QCOMPARE(s.field("nazwa1"),
                 QStringLiteral("PRZEDSIĘBIORSTWO HANDLOWO-USŁUGOWE „ŻÓŁW” SPÓŁKA Z"));
        QCOMPARE(s.field("nazwa2"), QStringLiteral("OGRANICZONĄ ODPOWIEDZIALNOŚCIĄ"));
        QCOMPARE(s.field("miejscowosc"), QStringLiteral("00-916 WARSZAWA"));
        QCOMPARE(s.field("adres"), QStringLiteral("UL. ŚWIĘTOKRZYSKA 12/3"));
        QCOMPARE(s.field("regon"), QStringLiteral("123456785"));
        QCOMPARE(s.field("konto"), QStringLiteral("60 1020 1026 0000 0422 7020 1111"));
        QCOMPARE(s.find<QLabel>(QStringLiteral("kontoStan"))->text(), QStringLiteral("✓ poprawny"));
        // Nothing is saved until "Zapisz dane".
        QCOMPARE(v.folder.readEntries()[0].text(Field::nazwa1), QStringLiteral("Stara nazwa"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        const EntryRecord saved = v.folder.readEntries()[0];
        QCOMPARE(saved.text(Field::nazwa1), s.field("nazwa1"));
        QCOMPARE(saved.text(Field::adres), QStringLiteral("UL. ŚWIĘTOKRZYSKA 12/3"));

        // A person exempt from VAT: the residence address only, the name left out.
        s.setField("nip", QStringLiteral("2222222222"));
        s.dialogs.expectTakeOver(TakeOverAnswer{-1, 0});
        QVERIFY(v.run("vatLookup"));
        QCOMPARE(s.dialogs.lastItems().size(), 2);
        QCOMPARE(s.field("nazwa1"), saved.text(Field::nazwa1));
        QCOMPARE(s.field("miejscowosc"), QStringLiteral("62-080 TARNOWO PODGÓRNE"));
        QCOMPARE(s.field("adres"), QStringLiteral("KOŚCIELNA 5"));
        QVERIFY(s.dialogs.lastReport().contains(QStringLiteral("Status VAT: Zwolniony")));

        // The take-over dialog cancelled: nothing changes.
        s.setField("nip", QStringLiteral("1234563218"));
        const EntryFormValues before = s.window->formValues();
        s.dialogs.expectTakeOver(std::nullopt);
        QVERIFY(v.run("vatLookup"));
        QCOMPARE(s.window->formValues(), before);
        QVERIFY(s.dialogs.done());
        QVERIFY(s.prompts.done());
    }

    void failuresLeaveTheForm_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("nip");
        QTest::addColumn<QString>("konto");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("message");
        const QString account = QStringLiteral("61 1090 1014 0000 0712 1981 2874");
        const auto row = [&](const char* name, const char* button, const char* nip, bool asks,
                             bool error, const char* message, const QString& konto = {}) {
            QTest::newRow(name) << QString::fromLatin1(button) << QString::fromUtf8(nip)
                                << (konto.isNull() ? account : konto) << asks << error
                                << QString::fromUtf8(message);
        };
        row("unknown NIP", "vatLookup", "3333333333", true, false,
            "W wykazie podatników VAT nie ma podmiotu o numerze NIP 3333333333.\n"
            "Identyfikator zapytania: Zq4nt-8a7b5c3");
        row("register's error", "vatLookup", "4444444444", true, true,
            "Wykaz podatników VAT odrzucił zapytanie: Przekroczono dzienny limit zapytań (191) "
            "(kod WL-191).");
        row("HTTP 500", "vatLookup", "5555555555", true, true,
            "Serwer wykazu podatników VAT zgłosił błąd HTTP 500. Spróbuj ponownie później.");
        row("no answer in time", "vatLookup", "6666666666", true, true,
            "Wykaz podatników VAT nie odpowiedział w ciągu 0,3 s. Sprawdź połączenie z "
            "internetem i spróbuj ponownie.");
        row("malformed JSON", "vatLookup", "7777777777", true, true,
            "Odpowiedź wykazu podatników VAT jest nieczytelna (to nie są poprawne dane JSON).");
        row("JSON of another shape", "vatLookup", "8888888888", true, true,
            "Odpowiedź wykazu podatników VAT ma nieoczekiwaną postać.");
        row("no NIP", "vatLookup", "", false, false,
            "Wpisz numer NIP, aby zapytać wykaz podatników VAT.");
        row("wrong NIP", "vatLookup", "123-456-32-17", false, false,
            "Numer NIP „123-456-32-17” jest błędny (Błędna cyfra kontrolna).");
        row("check: HTTP 500", "vatAccountCheck", "5555555555", true, true,
            "Serwer wykazu podatników VAT zgłosił błąd HTTP 500. Spróbuj ponownie później.");
        row("check: no answer in time", "vatAccountCheck", "6666666666", true, true,
            "Wykaz podatników VAT nie odpowiedział w ciągu 0,3 s. Sprawdź połączenie z "
            "internetem i spróbuj ponownie.");
        row("check: wrong NIP", "vatAccountCheck", "12345", false, false,
            "Numer NIP „12345” jest błędny (NIP ma 10 cyfr, wpisano 5).");
        row("check: no account", "vatAccountCheck", "1234563218", false, false,
            "Wpisz numer konta, aby sprawdzić je w wykazie podatników VAT.", QStringLiteral(""));
        row("check: wrong account", "vatAccountCheck", "1234563218", false, false,
            "Numer konta „61 1090 1014 0000 0712 1981 2847” jest błędny (Błędna cyfra "
            "kontrolna).",
            QStringLiteral("61 1090 1014 0000 0712 1981 2847"));
        row("check: foreign account", "vatAccountCheck", "1234563218", false, false,
            "Wykaz podatników VAT obejmuje tylko rachunki w polskich bankach (26 cyfr).",
            QStringLiteral("DE89 3704 0044 0532 0130 00"));
    }

    void failuresLeaveTheForm() {
        QFETCH(QString, button);
        QFETCH(QString, nip);
        QFETCH(QString, konto);
        QFETCH(bool, asks);
        QFETCH(bool, error);
        QFETCH(QString, message);
        VatSession v;
        WindowSession& s = v.s;
        s.window->vatClient().setTimeLimit(std::chrono::milliseconds(300));
        s.setField("nip", nip);
        s.setField("konto", konto);
        const EntryFormValues before = s.window->formValues();
        if (error)
            s.prompts.expectError(message);
        else
            s.prompts.expectInformation(message);
        if (asks) {
            QVERIFY(v.run(button.toLatin1().constData()));
            QCOMPARE(v.server.requests().size(), 1);
        } else {
            s.click(button.toLatin1().constData());
            QVERIFY(!s.window->vatClient().busy());
            QVERIFY(v.server.requests().isEmpty());
        }
        QVERIFY(s.prompts.done());
        QCOMPARE(s.prompts.shown(), QStringList{message});
        QCOMPARE(s.window->formValues(), before);
        QVERIFY(!QApplication::overrideCursor());
    }

    // "Anuluj" stops a request that gets no answer: no message, the form as it was.
    void cancelStopsTheRequest() {
        VatSession v;
        WindowSession& s = v.s;
        s.setField("nip", QStringLiteral("6666666666"));
        const EntryFormValues before = s.window->formValues();
        QSignalSpy finished(&s.window->vatClient(), &vat::Client::finished);
        QSignalSpy requested(&v.server, &VatRegisterServer::requested);
        s.click("vatLookup");
        QVERIFY(s.window->vatClient().busy());
        // The request has reached the register before the user gives up.
        QVERIFY(requested.wait(20000));
        QPushButton* anuluj = v.progress()->findChild<QPushButton*>();
        QCOMPARE(anuluj->text(), QStringLiteral("Anuluj"));
        anuluj->click();
        QVERIFY(finished.size() == 1 || finished.wait(20000));
        QVERIFY(!s.window->vatClient().busy());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(s.window->formValues(), before);
        QVERIFY(s.prompts.shown().isEmpty());
    }

    void accountCheckShowsTheAnswer_data() {
        QTest::addColumn<QString>("konto");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("answer");
        QTest::newRow("listed") << QStringLiteral("PL61 1090 1014 0000 0712 1981 2874")
                                << QStringLiteral("61109010140000071219812874")
                                << QStringLiteral("TAK");
        QTest::newRow("not listed")
            << QStringLiteral("94249000050000460003003600")
            << QStringLiteral("94249000050000460003003600") << QStringLiteral("NIE");
    }

    void accountCheckShowsTheAnswer() {
        QFETCH(QString, konto);
        QFETCH(QString, digits);
        QFETCH(QString, answer);
        VatSession v;
        WindowSession& s = v.s;
        s.setField("nip", QStringLiteral("PL 1234563218"));
        s.setField("konto", konto);
        s.prompts.expectInformation(
            QStringLiteral("Konto: %1\nNIP: 1234563218\nKonto przypisane do NIP w wykazie "
                           "podatników VAT: %2\nIdentyfikator zapytania: Ck9z8-7y6x5w4\nData "
                           "zapytania: 05-03-2007 14:05:09")
                .arg(vat::groupedAccount(digits), answer));
        QVERIFY(v.run("vatAccountCheck"));
        QVERIFY(s.prompts.done());
        QCOMPARE(
            v.server.requests(),
            QStringList{QStringLiteral("/api/check/nip/1234563218/bank-account/%1?date=2007-03-05")
                            .arg(digits)});
        QCOMPARE(s.field("konto"), konto);
    }
};

KESTRANA_TEST(VatWiringTest)
#include "VatWiringTest.moc"
