#include "register/Duplicates.h"
#include "platform/CodePage.h"
#include "register/DataFolderSetup.h"
#include "register/DuplicateKeys.h"
#include "register/Editing.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

std::string key(const QString& text, std::string (*keyOf)(std::string_view)) {
    const QByteArray bytes = cp1250::encode(text);
    return keyOf(std::string_view(bytes.constData(), size_t(bytes.size())));
}

EntryRecord company(const QString& name, const QString& town, const QString& nip = {},
                    const QString& regon = {}) {
    EntryRecord r;
    r.setText(Field::nazwa1, name);
    r.setText(Field::miejscowosc, town);
    r.setText(Field::nip, nip);
    r.setText(Field::regon, regon);
    return r;
}

} // namespace

// Entries that are likely one company: the keys that make two entries meet, and the groups found
// in a large register with repeated companies planted among distinct ones.
class DuplicatesTest : public QObject {
    Q_OBJECT

private slots:
    void keysMeetOrNot_data() {
        QTest::addColumn<int>("kind"); // 0 NIP, 1 REGON, 2 name, 3 town
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("NIP with hyphens and PL") << 0 << "PL 526-104-08-28"
                                                 << "5261040828" << true;
        QTest::newRow("NIP one digit apart") << 0 << "5261040828"
                                             << "5261040829" << false;
        QTest::newRow("NIP stand-in of zeros") << 0 << "000-000-00-00"
                                               << "0000000000" << false;
        QTest::newRow("NIP too short") << 0 << "526104082"
                                       << "526104082" << false;
        QTest::newRow("REGON with blanks") << 1 << "012 345 678"
                                           << "012345678" << true;
        QTest::newRow("REGON of 14 digits") << 1 << "01234567800012"
                                            << "01234567800012" << true;
        QTest::newRow("REGON of 10 digits") << 1 << "0123456789"
                                            << "0123456789" << false;
        QTest::newRow("legal form and case") << 2 << "Tartak Jawor Sp. z o.o."
                                             << "TARTAK JAWOR" << true;
        QTest::newRow("legal form written out")
            << 2 << "Tartak Jawor spółka z ograniczoną odpowiedzialnością"
            << "Tartak Jawor SA" << true;
        QTest::newRow("Polish letters and punctuation") << 2 << "Łąka-Żuraw \"Ćma\" S.A."
                                                        << "laka zuraw cma" << true;
        QTest::newRow("spółka jawna, sp.k.") << 2 << "Bór sp.j."
                                             << "Bór sp. k." << true;
        QTest::newRow("another word") << 2 << "Tartak Jawor"
                                      << "Tartak Jawor 2" << false;
        QTest::newRow("only a legal form") << 2 << "Sp. z o.o."
                                           << "S.A." << false;
        QTest::newRow("town without postal code") << 3 << "00-950 Warszawa"
                                                  << "WARSZAWA" << true;
        QTest::newRow("another town") << 3 << "Łódź"
                                      << "Lodz Bałuty" << false;
    }
    void keysMeetOrNot() {
        QFETCH(int, kind);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, same);
        using KeyOf = std::string (*)(std::string_view);
        const KeyOf keyOf[] = {duplicates::nipKey, duplicates::regonKey, duplicates::nameKey,
                               duplicates::townKey};
        const std::string ka = key(a, keyOf[kind]);
        const std::string kb = key(b, keyOf[kind]);
        QCOMPARE(!ka.empty() && ka == kb, same);
    }

    // 100 000 generated entries, all distinct companies, and planted among them one pair of each
    // kind and a chain that one NIP and one name join into a single group.
    void plantedGroupsAndNoOther() {
        DataFolder folder;
        const Workstation ws =
            startup::prepareWorkstation(folder.path(), false, QStringLiteral("2026-12-08"));
        generateEntries(ws, 50000, 7);
        std::vector<EntryRecord> planted = {
            company(u"Odlewnia Żeliwa Sp. z o.o."_qs, u"Gdańsk"_qs, u"5261040828"_qs), // 50002
            company(u"Hurtownia Bór"_qs, u"Kielce"_qs, u"526-10-40-828"_qs),           // 50003
            company(u"Piekarnia Róża"_qs, u"Olsztyn"_qs, {}, u"012345678"_qs),         // 50004
            company(u"Drukarnia Echo"_qs, u"Łódź"_qs, {}, u"012 345 678"_qs),          // 50005
            company(u"ODLEWNIA ŻELIWA S.A."_qs, u"80-001 Gdańsk"_qs),                  // 50006
            company(u"Pracownia Zorza s.c."_qs, u"Rzeszów"_qs),                        // 50007
            company(u"pracownia zorza"_qs, u"35-001 RZESZÓW"_qs),                      // 50008
            company(u"Pracownia Zorza"_qs, u"Kraków"_qs), // another town: alone
        };
        editing::appendNewEntries(ws, planted);
        generateEntries(ws, 50000, 8);

        Register reg(ws);
        const std::vector<duplicates::Group> groups = duplicates::find(reg.store());
        QStringList found;
        for (const duplicates::Group& group : groups) {
            QStringList ids;
            for (const duplicates::Member& member : group.members)
                ids << member.record.text(Field::id);
            found << duplicates::reasonText(group.reasons) + QStringLiteral(": ") +
                         ids.join(QLatin1Char(' '));
        }
        QCOMPARE(found, (QStringList{
                            "ten sam NIP, ta sama nazwa i miejscowość: 50002 50003 50006",
                            "ten sam REGON: 50004 50005",
                            "ta sama nazwa i miejscowość: 50007 50008",
                        }));
        QCOMPARE(groups.front().members.front().position, qint64(50001));
        QCOMPARE(duplicates::groupHeading(1, groups.front()),
                 QStringLiteral("Grupa 1 (3 wpisy): ten sam NIP, ta sama nazwa i miejscowość"));
    }
};

KESTRANA_TEST(DuplicatesTest)
#include "DuplicatesTest.moc"
