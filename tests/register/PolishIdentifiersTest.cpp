#include "register/PolishIdentifiers.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using polishid::Kind;
using polishid::Verdict;

Q_DECLARE_METATYPE(polishid::Kind)
Q_DECLARE_METATYPE(polishid::Verdict::State)

class PolishIdentifiersTest : public QObject {
    Q_OBJECT

private slots:
    void verdicts_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Verdict::State>("state");
        const auto row = [](const char* name, Kind kind, const char* typed, Verdict::State state) {
            QTest::newRow(name) << kind << QString::fromUtf8(typed) << state;
        };
        using enum Verdict::State;
        row("empty", Kind::Nip, "", Empty);
        row("blanks only", Kind::Pesel, "   ", Empty);

        row("NIP", Kind::Nip, "1234563218", Valid);
        row("NIP with dashes", Kind::Nip, "123-456-32-18", Valid);
        row("NIP with blanks", Kind::Nip, " 123 456 32 18 ", Valid);
        row("NIP with PL", Kind::Nip, "PL1234563218", Valid);
        row("NIP with pl and a blank", Kind::Nip, "pl 123-45-63-218", Valid);
        row("NIP check digit", Kind::Nip, "1234563217", Invalid);
        row("NIP sum giving 10 has no valid digit", Kind::Nip, "1000000160", Invalid);
        row("NIP of 9 digits", Kind::Nip, "123456321", Invalid);
        row("NIP of 11 digits", Kind::Nip, "12345632180", Invalid);
        row("NIP with a letter", Kind::Nip, "12345632I8", Invalid);
        row("NIP with a slash", Kind::Nip, "123/456/32/18", Invalid);
        row("PL is no REGON prefix", Kind::Regon, "PL123456785", Invalid);

        row("REGON 9", Kind::Regon, "123456785", Valid);
        row("REGON 9 with dashes", Kind::Regon, "123-456-785", Valid);
        row("REGON 9 sum giving 10 reads 0", Kind::Regon, "100000050", Valid);
        row("REGON 9 check digit", Kind::Regon, "123456784", Invalid);
        row("REGON 14", Kind::Regon, "12345678512347", Valid);
        row("REGON 14 check digit", Kind::Regon, "12345678512348", Invalid);
        row("REGON 14 with a bad first nine", Kind::Regon, "12345678412347", Invalid);
        row("REGON of 10 digits", Kind::Regon, "1234567850", Invalid);

        row("PESEL", Kind::Pesel, "44051401359", Valid);
        row("PESEL born 2002", Kind::Pesel, "02270803624", Valid);
        row("PESEL check digit", Kind::Pesel, "44051401358", Invalid);
        row("PESEL of 10 digits", Kind::Pesel, "4405140135", Invalid);
        row("PESEL with PL", Kind::Pesel, "PL44051401359", Invalid);

        row("NRB", Kind::Nrb, "61109010140000071219812874", Valid);
        row("NRB in groups", Kind::Nrb, "61 1090 1014 0000 0712 1981 2874", Valid);
        row("NRB with PL", Kind::Nrb, "PL61109010140000071219812874", Valid);
        row("NRB with pl and groups", Kind::Nrb, "pl 60 1020 1026 0000 0422 7020 1111", Valid);
        row("NRB check 94", Kind::Nrb, "94249000050000460003003600", Valid);
        row("NRB check 10", Kind::Nrb, "10105000997603123456789123", Valid);
        row("NRB changed digit", Kind::Nrb, "61109010140000071219812875", Invalid);
        row("NRB changed check digit", Kind::Nrb, "62109010140000071219812874", Invalid);
        row("NRB swapped neighbours", Kind::Nrb, "61109010140000071219818274", Invalid);
        row("NRB swapped check digits", Kind::Nrb, "16109010140000071219812874", Invalid);
        row("NRB of 25 digits", Kind::Nrb, "6110901014000007121981287", Invalid);
        row("NRB of 27 digits", Kind::Nrb, "611090101400000712198128740", Invalid);
        row("NRB with a letter", Kind::Nrb, "61109010140000071219812A74", Invalid);
        row("NRB with a slash", Kind::Nrb, "61/1090/1014/0000/0712/1981/2874", Invalid);
        row("NRB with PL twice", Kind::Nrb, "PLPL61109010140000071219812874", Invalid);
        row("IBAN of Germany", Kind::Nrb, "DE89 3704 0044 0532 0130 00", Valid);
        row("IBAN of Britain", Kind::Nrb, "GB29NWBK60161331926819", Valid);
        row("IBAN changed digit", Kind::Nrb, "DE89370400440532013001", Invalid);
        row("IBAN too short", Kind::Nrb, "DE8937040044", Invalid);
    }

    void verdicts() {
        QFETCH(Kind, kind);
        QFETCH(QString, typed);
        QFETCH(Verdict::State, state);
        const Verdict verdict = polishid::check(kind, typed);
        QCOMPARE(verdict.state, state);
        QCOMPARE(verdict.reason.isEmpty(), state == Verdict::Empty);
    }

    void reasonsNameTheFault() {
        QCOMPARE(polishid::check(Kind::Nip, QStringLiteral("123")).reason,
                 QStringLiteral("NIP ma 10 cyfr, wpisano 3"));
        QCOMPARE(polishid::check(Kind::Pesel, QStringLiteral("44051401358")).reason,
                 QStringLiteral("Błędna cyfra kontrolna"));
        QCOMPARE(polishid::check(Kind::Regon, QStringLiteral("12345678412347")).reason,
                 QStringLiteral("Błędna cyfra kontrolna pierwszych dziewięciu cyfr"));
        QCOMPARE(polishid::check(Kind::Nrb, QStringLiteral("PL 61 1090")).reason,
                 QStringLiteral("Numer konta ma 26 cyfr, wpisano 6"));
        QCOMPARE(polishid::check(Kind::Nrb, QStringLiteral("PL61109010140000071219812874")).reason,
                 QStringLiteral("Poprawny numer konta"));
        QCOMPARE(
            polishid::digitsOf(Kind::Nrb, QStringLiteral("PL 61 1090-1014 0000 0712 1981 2874")),
            QStringLiteral("61109010140000071219812874"));
    }
};

KESTRANA_TEST(PolishIdentifiersTest)
#include "PolishIdentifiersTest.moc"
