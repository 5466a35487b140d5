#include "envelope/AddressHelpers.h"
#include "envelope/EnvelopeTexts.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace kestrana;

namespace {

EntryFormValues filledForm() {
    EntryFormValues form;
    form[Field::nazwa1] = QStringLiteral("Młyn Zbożowy");
    form[Field::nazwa2] = QStringLiteral("Sp. z o.o.");
    form[Field::miejscowosc] = QStringLiteral("00-950 Warszawa");
    form[Field::adres] = QStringLiteral("ul. Wiejska 4");
    form[Field::wojewodztwo] = QStringLiteral("mazowieckie");
    form[Field::mail] = QStringLiteral("biuro@mlyn.pl");
    form[Field::telefon] = QStringLiteral("22 123");
    form[Field::miejscowosck] = QStringLiteral("90-001 Łódź");
    form[Field::adresk] = QStringLiteral("ul. Piotrkowska 1");
    form[Field::wojewodztwok] = QStringLiteral("łódzkie");
    form[Field::personaliao] = QStringLiteral("Jan Kowalski");
    form[Field::miejscowosco] = QStringLiteral("30-001 Kraków");
    form[Field::adreso] = QStringLiteral("ul. Floriańska 2");
    form[Field::wojewodztwoo] = QStringLiteral("małopolskie");
    form[Field::mailo] = QStringLiteral("jan@mlyn.pl");
    return form;
}

CompanyRecord firma() {
    CompanyRecord c;
    c.lines = {QStringLiteral("Biuro Rachunkowe"),
               QStringLiteral("ul. Krótka 5"),
               QStringLiteral("00-002 Warszawa"),
               QStringLiteral("NIP 1"),
               QStringLiteral("5"),
               QStringLiteral("6")};
    return c;
}

using Lines = std::array<QString, 4>;

} // namespace

Q_DECLARE_METATYPE(AddressBlock)
Q_DECLARE_METATYPE(Lines)

class AddressTest : public QObject {
    Q_OBJECT

private slots:
    void wklejCopiesOnlyTheAddress() {
        EntryFormValues form = filledForm();
        copySeatToCorrespondence(form);
        EntryFormValues expected = filledForm();
        expected[Field::miejscowosck] = QStringLiteral("00-950 Warszawa");
        expected[Field::adresk] = QStringLiteral("ul. Wiejska 4");
        expected[Field::wojewodztwok] = QStringLiteral("mazowieckie");
        QVERIFY(form == expected);

        EntryFormValues empty = filledForm();
        empty[Field::miejscowosc].clear();
        empty[Field::adres].clear();
        empty[Field::wojewodztwo].clear();
        copySeatToCorrespondence(empty);
        QVERIFY(empty[Field::miejscowosck].isEmpty() && empty[Field::adresk].isEmpty() &&
                empty[Field::wojewodztwok].isEmpty());
    }

    void voivodeshipsInPolishOrder() {
        QCOMPARE(voivodeshipNames().size(), 16);
        QCOMPARE(voivodeshipNames().first(), QStringLiteral("pomorskie"));
        const QStringList expected = {
            QStringLiteral("dolnośląskie"),   QStringLiteral("kujawsko-pomorskie"),
            QStringLiteral("lubelskie"),      QStringLiteral("lubuskie"),
            QStringLiteral("łódzkie"),        QStringLiteral("małopolskie"),
            QStringLiteral("mazowieckie"),    QStringLiteral("opolskie"),
            QStringLiteral("podkarpackie"),   QStringLiteral("podlaskie"),
            QStringLiteral("pomorskie"),      QStringLiteral("śląskie"),
            QStringLiteral("świętokrzyskie"), QStringLiteral("warmińsko-mazurskie"),
            QStringLiteral("wielkopolskie"),  QStringLiteral("zachodniopomorskie")};
        QCOMPARE(sortedVoivodeships(), expected);
    }

    void chooserFillsItsTarget_data() {
        QTest::addColumn<AddressBlock>("target");
        QTest::addColumn<int>("field");
        QTest::newRow("seat") << AddressBlock::Seat << int(Field::wojewodztwo);
        QTest::newRow("correspondence") << AddressBlock::Correspondence << int(Field::wojewodztwok);
        QTest::newRow("contact") << AddressBlock::Contact << int(Field::wojewodztwoo);
    }
    void chooserFillsItsTarget() {
        QFETCH(AddressBlock, target);
        QFETCH(int, field);
        VoivodeshipChooser chooser;
        chooser.open(AddressBlock::Seat);
        chooser.open(target);
        QCOMPARE(chooser.items().size(), 16); // not 32 after two openings
        EntryFormValues form = filledForm();
        QVERIFY(!chooser.choose(QString(), form)); // nothing selected
        QVERIFY(chooser.isOpen());
        QVERIFY(form == filledForm());
        QVERIFY(chooser.choose(QStringLiteral("łódzkie"), form));
        QVERIFY(!chooser.isOpen());
        EntryFormValues expected = filledForm();
        expected.texts[field] = QStringLiteral("łódzkie");
        QVERIFY(form == expected);
    }

    void cancellingChangesNothing() {
        VoivodeshipChooser chooser;
        chooser.open(AddressBlock::Contact);
        chooser.cancel();
        QVERIFY(!chooser.isOpen());
        EntryFormValues form = filledForm();
        QVERIFY(!chooser.choose(QStringLiteral("opolskie"), form));
        QVERIFY(form == filledForm());
    }

    void mailCommandLines_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty does nothing") << QString() << QString();
        QTest::newRow("as typed") << QStringLiteral("biuro@mlyn.pl")
                                  << QStringLiteral("kormel.exe biuro@mlyn.pl");
        QTest::newRow("blank inside, two arguments")
            << QStringLiteral("a@b.pl c@d.pl") << QStringLiteral("kormel.exe a@b.pl c@d.pl");
        QTest::newRow("cut to 200")
            << QString(250, QLatin1Char('x'))
            << QStringLiteral("kormel.exe ") + QString(189, QLatin1Char('x'));
    }
    void mailCommandLines() {
        QFETCH(QString, address);
        QFETCH(QString, line);
        QCOMPARE(mailCommandLine(address), line);
    }

    void mailButtonsReadTheirField() {
        const EntryFormValues form = filledForm();
        QCOMPARE(mailCommandLine(form, AddressBlock::Seat),
                 QStringLiteral("kormel.exe biuro@mlyn.pl"));
        QCOMPARE(mailCommandLine(form, AddressBlock::Contact),
                 QStringLiteral("kormel.exe jan@mlyn.pl"));
    }

    void envelopeMapping_data() {
        QTest::addColumn<AddressBlock>("block");
        QTest::addColumn<Lines>("recipient");
        QTest::newRow("seat") << AddressBlock::Seat
                              << Lines{QStringLiteral("Młyn Zbożowy"), QStringLiteral("Sp. z o.o."),
                                       QStringLiteral("ul. Wiejska 4"),
                                       QStringLiteral("00-950 Warszawa")};
        QTest::newRow("correspondence")
            << AddressBlock::Correspondence
            << Lines{QStringLiteral("Młyn Zbożowy"), QStringLiteral("Sp. z o.o."),
                     QStringLiteral("ul. Piotrkowska 1"), QStringLiteral("90-001 Łódź")};
        QTest::newRow("contact: street before town, line 4 empty")
            << AddressBlock::Contact
            << Lines{QStringLiteral("Jan Kowalski"), QStringLiteral("ul. Floriańska 2"),
                     QStringLiteral("30-001 Kraków"), QString()};
    }
    void envelopeMapping() {
        QFETCH(AddressBlock, block);
        QFETCH(Lines, recipient);
        const EnvelopeAddress a = envelopeAddress(filledForm(), firma(), block);
        QCOMPARE(a.recipient, recipient);
        QCOMPARE(a.sender,
                 (Lines{QStringLiteral("Biuro Rachunkowe"), QStringLiteral("ul. Krótka 5"),
                        QStringLiteral("00-002 Warszawa"), QString()}));
    }

    // "Koperta" replaces whatever the window showed and prepares it from the stored defaults.
    void kopertaFillsAndPrepares() {
        test::DataFolder folder;
        Workstation ws;
        ws.workDir = ws.baseDir = folder.path();
        ws.firma = firma();
        EnvelopeFields fields;
        fields.settings.sender[3] = QStringLiteral("stary wiersz 4");
        fields.settings.left[0] = QStringLiteral("999");
        fields.caption = QStringLiteral("Adresowanie kopert /x.pro");
        LogoPicture picture;
        QCOMPARE(openEnvelope(ws, filledForm(), AddressBlock::Contact, fields, picture), QString());
        QCOMPARE(fields.settings.sender[3], QString());
        QCOMPARE(fields.settings.sender[0], QStringLiteral("Biuro Rachunkowe"));
        QCOMPARE(fields.recipient[1], QStringLiteral("ul. Floriańska 2"));
        QCOMPARE(fields.settings.left[0], QStringLiteral("50"));
        QCOMPARE(fields.caption, envelope::defaultCaption());
    }
};

KESTRANA_TEST(AddressTest)
#include "AddressTest.moc"
