#include "support/CliRun.h"
#include "support/TestRegistry.h"
#include "support/VatRegisterServer.h"

#include <QDate>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using kestrana::test::CliRun;
using kestrana::test::runCliServing;
using kestrana::test::VatRegisterServer;

// kestrana-cli lookup NIP [--account NRB], as a separate program asking the register's
// stand-in.
class VatCliTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QTemporaryDir runtime_; // Qt's warning about a missing one would join the program's errors

    CliRun run(const QString& url, const QStringList& args) {
        return runCliServing(dir_.path(), QStringList{QStringLiteral("lookup")} + args,
                             {QStringLiteral("KESTRANA_VAT_URL=") + url,
                              QStringLiteral("XDG_RUNTIME_DIR=") + runtime_.path()});
    }

private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errors");
        const auto row = [](const char* name, QStringList args, int exitCode, const char* out,
                            const char* errors) {
            QTest::newRow(name) << args << exitCode << QString::fromUtf8(out)
                                << QString::fromUtf8(errors);
        };
        row("company", {"1234563218"}, 0,
            "Nazwa: PRZEDSIĘBIORSTWO HANDLOWO-USŁUGOWE „ŻÓŁW” SPÓŁKA Z OGRANICZONĄ "
            "ODPOWIEDZIALNOŚCIĄ\n"
            "NIP: 1234563218\n"
            "Status VAT: Czynny\n"
            "REGON: 123456785\n"
            "KRS: 0000123456\n"
            "Adres działalności: UL. ŚWIĘTOKRZYSKA 12/3, 00-916 WARSZAWA\n"
            "Rachunek 1: 61 1090 1014 0000 0712 1981 2874\n"
            "Rachunek 2: 60 1020 1026 0000 0422 7020 1111\n"
            "Rachunek 3: 27 1140 2004 0000 3002 0135 5387\n"
            "Identyfikator zapytania: Zq4nt-8a7b5c3\n"
            "Data zapytania: 05-03-2007 14:05:09\n",
            "");
        row("person", {"PL 222-222-22-22"}, 0,
            "Nazwa: JAN ŁĘCKI USŁUGI ŚLUSARSKIE\n"
            "NIP: 2222222222\n"
            "Status VAT: Zwolniony\n"
            "Adres zamieszkania: KOŚCIELNA 5, 62-080 TARNOWO PODGÓRNE\n"
            "Rachunki bankowe: brak\n"
            "Identyfikator zapytania: Zq4nt-8a7b5c3\n"
            "Data zapytania: 05-03-2007 14:05:09\n",
            "");
        row("account listed", {"1234563218", "--account", "61 1090 1014 0000 0712 1981 2874"}, 0,
            "Konto: 61 1090 1014 0000 0712 1981 2874\n"
            "NIP: 1234563218\n"
            "Konto przypisane do NIP w wykazie podatników VAT: TAK\n"
            "Identyfikator zapytania: Ck9z8-7y6x5w4\n"
            "Data zapytania: 05-03-2007 14:05:09\n",
            "");
        row("account not listed", {"--account", "PL94249000050000460003003600", "1234563218"}, 0,
            "Konto: 94 2490 0005 0000 4600 0300 3600\n"
            "NIP: 1234563218\n"
            "Konto przypisane do NIP w wykazie podatników VAT: NIE\n"
            "Identyfikator zapytania: Ck9z8-7y6x5w4\n"
            "Data zapytania: 05-03-2007 14:05:09\n",
            "");
        row("unknown", {"3333333333"}, 1, "",
            "kestrana-cli: W wykazie podatników VAT nie ma podmiotu o numerze NIP 3333333333.\n"
            "Identyfikator zapytania: Zq4nt-8a7b5c3\n");
        row("register's error", {"4444444444"}, 1, "",
            "kestrana-cli: Wykaz podatników VAT odrzucił zapytanie: Przekroczono dzienny limit "
            "zapytań (191) (kod WL-191).\n");
        row("HTTP 500", {"5555555555", "--account", "61109010140000071219812874"}, 1, "",
            "kestrana-cli: Serwer wykazu podatników VAT zgłosił błąd HTTP 500. Spróbuj ponownie "
            "później.\n");
        row("malformed JSON", {"7777777777"}, 1, "",
            "kestrana-cli: Odpowiedź wykazu podatników VAT jest nieczytelna (to nie są poprawne "
            "dane JSON).\n");
        row("answer over 1 MB", {"9999999999"}, 1, "",
            "kestrana-cli: Odpowiedź serwera wykazu podatników VAT przekroczyła 1 MB, więc jej "
            "odbiór przerwano (to nie jest odpowiedź wykazu). Sprawdź adres wykazu albo spróbuj "
            "ponownie później.\n");
        row("wrong NIP", {"1234563217"}, 2, "",
            "kestrana-cli: Numer NIP „1234563217” jest błędny (Błędna cyfra kontrolna).\n");
        row("wrong account", {"1234563218", "--account", "61109010140000071219812875"}, 2, "",
            "kestrana-cli: Numer konta „61109010140000071219812875” jest błędny (Błędna cyfra "
            "kontrolna).\n");
        row("no NIP", {}, 2, "", "kestrana-cli: podaj: lookup NIP [--account NRB]\n");
        row("no account", {"1234563218", "--account"}, 2, "",
            "kestrana-cli: podaj: lookup NIP [--account NRB]\n");
        row("two NIPs", {"1234563218", "2222222222"}, 2, "",
            "kestrana-cli: podaj: lookup NIP [--account NRB]\n");
    }

    void answers() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, errors);
        VatRegisterServer server;
        const CliRun done = run(server.url(), args);
        QCOMPARE(done.errors, errors);
        QCOMPARE(done.out, out);
        QCOMPARE(done.exitCode, exitCode);
        // Wrong arguments ask nothing; the rest ask once, for today.
        QCOMPARE(server.requests().size(), exitCode == 2 ? 0 : 1);
        if (exitCode != 2)
            QVERIFY(server.requests()[0].endsWith(QStringLiteral("?date=") +
                                                  QDate::currentDate().toString(Qt::ISODate)));
    }

    // Without a register to reach, or with an address that is none, a message, never a hang.
    void unreachable() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        const CliRun refused =
            run(QStringLiteral("http://127.0.0.1:%1").arg(port), {QStringLiteral("1234563218")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.errors.startsWith(
                     QStringLiteral("kestrana-cli: Nie można połączyć się z wykazem podatników "
                                    "VAT (")),
                 qPrintable(refused.errors));

        const CliRun notAnAddress =
            run(QStringLiteral("ftp://127.0.0.1/"), {QStringLiteral("1234563218")});
        QCOMPARE(notAnAddress.exitCode, 1);
        QCOMPARE(notAnAddress.errors,
                 QStringLiteral("kestrana-cli: Adres wykazu podatników VAT „ftp://127.0.0.1/” "
                                "(zmienna KESTRANA_VAT_URL) nie jest adresem http ani https.\n"));
    }
};

KESTRANA_TEST(VatCliTest)
#include "VatCliTest.moc"
