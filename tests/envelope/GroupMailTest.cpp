#include "envelope/GroupMail.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using namespace kestrana::groupmail;

namespace {

EntryRecord withMail(const QString& id, const QString& name, const QString& mail) {
    EntryRecord r = test::entry(id, name);
    r.setText(Field::mail, mail);
    return r;
}

} // namespace

// The addresses of a list for one e-mail to many: split, checked, without repeats, in groups of
// blind copies.
class GroupMailTest : public QObject {
    Q_OBJECT

private slots:
    void fieldSplitAndChecked_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QStringList>("refused"); // the problem: P Polish letters, N not one
        QTest::newRow("one") << "biuro@tartak.pl" << QStringList{"biuro@tartak.pl"}
                             << QStringList{};
        QTest::newRow("semicolon, comma, blanks")
            << " a@b.pl;c@d.pl , e@f.com.pl\tg@h.eu "
            << QStringList{"a@b.pl", "c@d.pl", "e@f.com.pl", "g@h.eu"} << QStringList{};
        QTest::newRow("repeated, letter case aside")
            << "a@b.pl A@B.PL" << QStringList{"a@b.pl"} << QStringList{};
        QTest::newRow("Polish letter before @")
            << "józef@tartak.pl zofia@tartak.pl" << QStringList{"zofia@tartak.pl"}
            << QStringList{"P józef@tartak.pl"};
        QTest::newRow("Polish letters in the domain")
            << "biuro@żuraw.pl" << QStringList{"biuro@żuraw.pl"} << QStringList{};
        QTest::newRow("allowed signs")
            << "o'brien+oferty@x-y.pl" << QStringList{"o'brien+oferty@x-y.pl"} << QStringList{};
        QTest::newRow("no @") << "tartak.pl" << QStringList{} << QStringList{"N tartak.pl"};
        QTest::newRow("two @") << "a@b@c.pl" << QStringList{} << QStringList{"N a@b@c.pl"};
        QTest::newRow("nothing before @") << "@b.pl" << QStringList{} << QStringList{"N @b.pl"};
        QTest::newRow("one label")
            << "a@localhost" << QStringList{} << QStringList{"N a@localhost"};
        QTest::newRow("dot at the end") << "a.@b.pl" << QStringList{} << QStringList{"N a.@b.pl"};
        QTest::newRow("hyphen ends a label")
            << "a@b-.pl" << QStringList{} << QStringList{"N a@b-.pl"};
        QTest::newRow("digits as top level")
            << "a@10.0.0.1" << QStringList{} << QStringList{"N a@10.0.0.1"};
        QTest::newRow("blank") << "  " << QStringList{} << QStringList{};
    }
    void fieldSplitAndChecked() {
        QFETCH(QString, field);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, refused);
        Collector collector;
        collector.add(withMail(QStringLiteral("7"), QStringLiteral("Tartak"), field));
        QCOMPARE(collector.addresses(), taken);
        QStringList problems;
        for (const Refused& r : collector.refused()) {
            QCOMPARE(r.id, QStringLiteral("7"));
            problems << (r.problem == Problem::PolishLetters ? "P " : "N ") + r.address;
        }
        QCOMPARE(problems, refused);
        QCOMPARE(collector.withoutAddress(), taken.isEmpty() ? 1 : 0);
    }

    // Over a list: repeats across entries go, entries without an address are counted, and a
    // refusal names its entry.
    void listCollected() {
        Collector collector;
        collector.add(withMail("2", "Alfa", "biuro@alfa.pl"));
        collector.add(withMail("3", "Beta", ""));
        collector.add(withMail("4", "Gamma", "BIURO@alfa.pl; handel@gamma.pl"));
        collector.add(withMail("5", "Żuraw", "łukasz@zuraw.pl"));
        QCOMPARE(collector.addresses(), (QStringList{"biuro@alfa.pl", "handel@gamma.pl"}));
        QCOMPARE(collector.withoutAddress(), 2);
        QCOMPARE(refusalText(collector.refused().at(0)),
                 QStringLiteral("ID 5 (Żuraw): „łukasz@zuraw.pl” ma polskie litery przed "
                                "znakiem @"));
        QCOMPARE(collector.summary(),
                 QStringLiteral("Adresów: 2 (wpisów: 4, bez adresu: 2, odrzuconych adresów: 1)."));
    }

    void groupsOfBlindCopies() {
        QStringList addresses;
        for (int i = 0; i < 101; ++i)
            addresses << QStringLiteral("a%1@b.pl").arg(i);
        const QList<QStringList> byFifty = groups(addresses, kDefaultGroupSize);
        QCOMPARE(byFifty.size(), 3);
        QCOMPARE(byFifty[2], QStringList{"a100@b.pl"});
        QCOMPARE(byFifty[1].first(), QStringLiteral("a50@b.pl"));
        QCOMPARE(groups(addresses, 0).size(), 101);
        QVERIFY(groups({}, 50).isEmpty());
    }

    // Every character that is not a letter, digit or - . _ ~ is percent-encoded, as UTF-8.
    void mailtoEncodesEveryCharacter() {
        QCOMPARE(mailtoBcc({"a.b-c_d~e@x.pl", "o'b+c&d=e?f#g%h@x.pl", "z@żuraw.pl"}),
                 QByteArray("mailto:?bcc=a.b-c_d~e%40x.pl,"
                            "o%27b%2Bc%26d%3De%3Ff%23g%25h%40x.pl,z%40%C5%BCuraw.pl"));
        QCOMPARE(clipboardText({"a@b.pl", "c@d.pl"}), QStringLiteral("a@b.pl, c@d.pl"));
        QCOMPARE(fileText({"a@b.pl", "ż@d.pl"}), QByteArray("a@b.pl\n\xC5\xBC@d.pl\n"));
    }
};

KESTRANA_TEST(GroupMailTest)
#include "GroupMailTest.moc"
