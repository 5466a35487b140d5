#include "vat/VatRegister.h"
#include "support/TestRegistry.h"
#include "vat/VatTakeOver.h"

#include <QTest>

using namespace kestrana;
using namespace kestrana::vat;

Q_DECLARE_METATYPE(kestrana::vat::Failure::Kind)

// The register's addresses and answers as the program reads them, and how an answer is laid
// into the entry form.
class VatRegisterTest : public QObject {
    Q_OBJECT

private slots:
    void urls_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("check");
        const QString search = QStringLiteral("api/search/nip/1234563218?date=2024-01-31");
        const QString check = QStringLiteral(
            "api/check/nip/1234563218/bank-account/61109010140000071219812874?date=2024-01-31");
        const auto row = [&](const char* base, const char* prefix) {
            const QString p = QString::fromLatin1(prefix);
            QTest::newRow(base) << QString::fromLatin1(base)
                                << (p.isEmpty() ? QString() : p + search)
                                << (p.isEmpty() ? QString() : p + check);
        };
        row("https://wl-api.mf.gov.pl", "https://wl-api.mf.gov.pl/");
        row("http://127.0.0.1:8080/", "http://127.0.0.1:8080/");
        row("http://proxy.biuro/wl", "http://proxy.biuro/wl/");
        row("HTTPS://proxy.biuro/wl/", "https://proxy.biuro/wl/");
        row("ftp://proxy.biuro/", "");
        row("wl-api.mf.gov.pl", "");
        row("", "");
    }

    void urls() {
        QFETCH(QString, base);
        QFETCH(QString, search);
        QFETCH(QString, check);
        const QString date = QStringLiteral("2024-01-31");
        const QString nip = QStringLiteral("1234563218");
        QCOMPARE(searchUrl(base, nip, date).toString(), search);
        QCOMPARE(checkUrl(base, nip, QStringLiteral("61109010140000071219812874"), date).toString(),
                 check);
    }

    void baseUrlFromTheEnvironment() {
        qputenv("KESTRANA_VAT_URL", " http://127.0.0.1:1/ ");
        QCOMPARE(baseUrl(), QStringLiteral("http://127.0.0.1:1/"));
        qunsetenv("KESTRANA_VAT_URL");
        QCOMPARE(baseUrl(), QStringLiteral("https://wl-api.mf.gov.pl"));
    }

    // Answers the stand-in register does not give.
    void searchAnswers_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("found"); // the name, or the failure's message
        const QString unexpected =
            QStringLiteral("Odpowiedź wykazu podatników VAT ma nieoczekiwaną postać.");
        const auto subject = [](const char* fields) {
            return QByteArray("{\"result\":{\"subject\":{") + fields +
                   "},\"requestId\":\"r1\",\"requestDateTime\":\"01-02-2024 10:00:00\"}}";
        };
        QTest::newRow("numbers as numbers")
            << 200 << subject("\"name\":\"Firma\",\"regon\":123456785,\"accountNumbers\":null")
            << QStringLiteral("Firma");
        QTest::newRow("accounts not a list")
            << 200
            << subject("\"name\":\"Firma\",\"accountNumbers\":\"61109010140000071219812874\"")
            << unexpected;
        QTest::newRow("no name") << 200 << subject("\"nip\":\"1234563218\"") << unexpected;
        QTest::newRow("subject not an object")
            << 200 << QByteArray("{\"result\":{\"subject\":\"Firma\"}}") << unexpected;
        QTest::newRow("no result")
            << 200 << QByteArray("{\"subject\":{\"name\":\"Firma\"}}") << unexpected;
        QTest::newRow("empty") << 200 << QByteArray()
                               << QStringLiteral("Odpowiedź wykazu podatników VAT jest "
                                                 "nieczytelna (to nie są poprawne dane JSON).");
        QTest::newRow("error answer with 200")
            << 200
            << QByteArray(
                   "{\"code\":\"WL-113\",\"message\":\"Pole 'NIP' ma nieprawidłową długość.\"}")
            << QStringLiteral("Wykaz podatników VAT odrzucił zapytanie: Pole 'NIP' ma "
                              "nieprawidłową długość (kod WL-113).");
        QTest::newRow("error answer without a code")
            << 400 << QByteArray("{\"message\":\"Nieprawidłowa data.\"}")
            << QStringLiteral("Wykaz podatników VAT odrzucił zapytanie: Nieprawidłowa data.");
        QTest::newRow("error answer of 200 KB")
            << 400 << "{\"message\":\"" + QByteArray(200000, 'x') + "\"}"
            << QStringLiteral("Wykaz podatników VAT odrzucił zapytanie: %1… (tekst skrócony z "
                              "200000 znaków).")
                   .arg(QString(300, u'x'));
        QTest::newRow("HTTP 429 without JSON")
            << 429 << QByteArray("Too Many Requests")
            << QStringLiteral("Serwer wykazu podatników VAT zgłosił błąd HTTP 429. Spróbuj "
                              "ponownie później.");
    }

    void searchAnswers() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, found);
        const Outcome<SearchResult> outcome =
            readSearchAnswer(QStringLiteral("1234563218"), status, body);
        if (const auto* failure = std::get_if<Failure>(&outcome)) {
            QCOMPARE(failure->kind, Failure::Failed);
            QCOMPARE(failure->message, found);
        } else {
            const SearchResult& result = std::get<SearchResult>(outcome);
            QCOMPARE(result.subject.name, found);
            QCOMPARE(result.subject.regon, QStringLiteral("123456785"));
            QCOMPARE(result.request.id, QStringLiteral("r1"));
        }
    }

    void checkAnswers() {
        const auto answer = [](const char* assigned) {
            return readCheckAnswer(200, QByteArray("{\"result\":{\"accountAssigned\":\"") +
                                            assigned + "\",\"requestId\":\"c1\"}}");
        };
        QVERIFY(std::get<CheckResult>(answer("TAK")).assigned);
        QVERIFY(!std::get<CheckResult>(answer("NIE")).assigned);
        QCOMPARE(std::get<CheckResult>(answer("NIE")).request.id, QStringLiteral("c1"));
        QCOMPARE(std::get<Failure>(answer("MOŻE")).kind, Failure::Failed);
    }

    void splitAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("town");
        QTest::addColumn<QString>("street");
        const auto row = [](const char* address, const char* town, const char* street) {
            QTest::newRow(address) << QString::fromUtf8(address) << QString::fromUtf8(town)
                                   << QString::fromUtf8(street);
        };
        row("UL. MARSZAŁKOWSKA 1/2, 00-624 WARSZAWA", "00-624 WARSZAWA", "UL. MARSZAŁKOWSKA 1/2");
        row("AL. JANA PAWŁA II 27, 00-867 WARSZAWA", "00-867 WARSZAWA", "AL. JANA PAWŁA II 27");
        row("BRZEZIE 12 62-080 BRZEZIE", "62-080 BRZEZIE", "BRZEZIE 12");
        row("UL. 3-GO MAJA 10, 35-030 RZESZÓW", "35-030 RZESZÓW", "UL. 3-GO MAJA 10");
        row("UL. POLNA 1 ,  00-001   WARSZAWA ", "00-001 WARSZAWA", "UL. POLNA 1");
        row("ul. Długa 123-4567, 80-831 Gdańsk", "80-831 Gdańsk", "ul. Długa 123-4567");
        row("00-950 WARSZAWA", "00-950 WARSZAWA", "");
        row("WARSZAWA, UL. POLNA 1", "", "WARSZAWA, UL. POLNA 1");
        row("", "", "");
    }

    void splitAddress() {
        QFETCH(QString, address);
        QFETCH(QString, town);
        QFETCH(QString, street);
        QCOMPARE(vat::splitAddress(address), (SeatAddress{town, street}));
    }

    void splitName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        const QString a30(30, u'A');
        const QString b30(30, u'B');
        QTest::newRow("fits") << a30 + u' ' + b30.left(29) << a30 + u' ' + b30.left(29)
                              << QString();
        QTest::newRow("one over") << a30 + u' ' + b30 << a30 << b30;
        QTest::newRow("blank just after the line")
            << QString(60, u'A') + QStringLiteral(" B") << QString(60, u'A') << QStringLiteral("B");
        QTest::newRow("no blank") << QString(61, u'A') << QString(60, u'A') << QStringLiteral("A");
        QTest::newRow("blanks simplified")
            << QStringLiteral("  Firma   Nowa ") << QStringLiteral("Firma Nowa") << QString();
    }

    void splitName() {
        QFETCH(QString, name);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QCOMPARE(vat::splitName(name, 60), std::make_pair(first, second));
    }

    // Only what the register gave is offered, and only what is ticked is taken.
    void offerAndTakeOver() {
        SearchResult found;
        found.subject.name = QStringLiteral("Firma");
        found.subject.accountNumbers = {QStringLiteral("61109010140000071219812874"),
                                        QStringLiteral("60102010260000042270201111")};
        Offer o = offer(found, QStringLiteral("PL 60 1020 1026 0000 0422 7020 1111"));
        QCOMPARE(o.targets, (QList<Offer::Target>{Offer::Target::Name, Offer::Target::Account}));
        QCOMPARE(o.items[1].chosen, 1);
        QCOMPARE(offer(found, QStringLiteral("94249000050000460003003600")).items[1].chosen, 0);
        QVERIFY(takeOver(found, o, {-1, -1}).isEmpty());
        QCOMPARE(takeOver(found, o, {0, 0}),
                 (QList<std::pair<Field, QString>>{
                     {Field::nazwa1, QStringLiteral("Firma")},
                     {Field::konto, QStringLiteral("61 1090 1014 0000 0712 1981 2874")}}));
    }
};

KESTRANA_TEST(VatRegisterTest)
#include "VatRegisterTest.moc"
