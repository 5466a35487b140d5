#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QLabel>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

// The marks beside NIP, PESEL, REGON and the account follow the text as it changes; they never
// change what is stored.
class IdentifierMarksTest : public QObject {
    Q_OBJECT

private slots:
    void marksFollowTheText() {
        DataFolder folder;
        EntryRecord first = entry(QStringLiteral("1"), QStringLiteral("Firma A"));
        first.setText(Field::nip, u"PL 123-456-32-18");
        first.setText(Field::regon, u"123456784");
        folder.writeEntries({first, entry(QStringLiteral("2"), QStringLiteral("Firma B"))});
        WindowSession s;
        s.start(folder.path());
        const auto mark = [&](const char* name) {
            return s.find<QLabel>(QLatin1String(name))->text();
        };
        QCOMPARE(mark("nipStan"), QStringLiteral("✓ poprawny"));
        QCOMPARE(mark("regonStan"), QStringLiteral("✗ błędny"));
        QCOMPARE(mark("peselStan"), QString());

        s.setField("pesel", QStringLiteral("4405140135"));
        QCOMPARE(mark("peselStan"), QStringLiteral("✗ błędny"));
        QCOMPARE(s.find<QLabel>(QStringLiteral("peselStan"))->toolTip(),
                 QStringLiteral("PESEL ma 11 cyfr, wpisano 10"));
        s.setField("pesel", QStringLiteral("44051401359"));
        QCOMPARE(mark("peselStan"), QStringLiteral("✓ poprawny"));
        QCOMPARE(mark("kontoStan"), QString());
        s.setField("konto", QStringLiteral("PL61 1090 1014 0000 0712 1981 2874"));
        QCOMPARE(mark("kontoStan"), QStringLiteral("✓ poprawny"));
        s.setField("konto", QStringLiteral("61 1090 1014 0000 0712 1981 2847"));
        QCOMPARE(mark("kontoStan"), QStringLiteral("✗ błędny"));
        QCOMPARE(s.find<QLabel>(QStringLiteral("kontoStan"))->toolTip(),
                 QStringLiteral("Błędna cyfra kontrolna"));

        // An invalid number is saved as typed.
        s.setField("nip", QStringLiteral("PL 123-456-32-17"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać zmiany w danych ?"), true);
        s.click("SpeedButton17");
        QCOMPARE(folder.readEntries()[0].text(Field::nip), QStringLiteral("PL 123-456-32-17"));
        QCOMPARE(mark("nipStan"), QStringLiteral("✗ błędny"));

        // The next entry has no identifiers: no marks.
        s.clickLine(s.rowOfId(QStringLiteral("2")));
        QCOMPARE(mark("nipStan"), QString());
        QCOMPARE(mark("regonStan"), QString());
        QCOMPARE(mark("peselStan"), QString());
        QCOMPARE(mark("kontoStan"), QString());
    }
};

KESTRANA_TEST(IdentifierMarksTest)
#include "IdentifierMarksTest.moc"
