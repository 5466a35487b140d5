#include "reports/EntrySheet.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "reports/PrintoutFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cerrno>

using namespace kestrana;
using namespace kestrana::test;

namespace {

EntryFormValues shownForm() {
    EntryFormValues f;
    const std::pair<Field, const char*> values[] = {
        {Field::id, "17"},
        {Field::numer, "K-17"},
        {Field::data, "2007-03-05"},
        {Field::nazwa1, "Zakład Usług Łódź"},
        {Field::nazwa2, "sp. z o.o."},
        {Field::miejscowosc, "Łódź"},
        {Field::adres, "Piotrkowska 5"},
        {Field::wojewodztwo, "łódzkie"},
        {Field::telefon, "42 111"},
        {Field::mail, "a@b.pl"},
        {Field::miejscowosck, "Kraków"},
        {Field::adresk, "Długa 2"},
        {Field::wojewodztwok, "małopolskie"},
        {Field::personaliao, "Jan Źdźbło"},
        {Field::miejscowosco, "Opole"},
        {Field::adreso, "Polna 1"},
        {Field::wojewodztwoo, "opolskie"},
        {Field::telefono, "77 222"},
        {Field::mailo, "jan@b.pl"},
        {Field::bank, "Bank Śląski"},
        {Field::konto, "12 3456"},
        {Field::nip, "725-1"},
        {Field::pesel, "800101"},
        {Field::regon, "4711"},
        {Field::datamodyfikacji, "2008-01-01"},
    };
    for (const auto& [field, text] : values)
        f[field] = QString::fromUtf8(text);
    return f;
}

const char* const kShownFile = "Zakład Usług Łódź\r\n"
                               "sp. z o.o.\r\n"
                               "\r\n"
                               "1.Adres siedziby\r\n"
                               "Łódź\r\n"
                               "Piotrkowska 5\r\n"
                               "łódzkie\r\n"
                               "Tel 42 111\r\n"
                               "E-mail a@b.pl\r\n"
                               "\r\n"
                               "2.Adres do korespondecji\r\n"
                               "Kraków\r\n"
                               "Długa 2\r\n"
                               "małopolskie\r\n"
                               "\r\n"
                               "3.Osoba odpowiedzialna za kontakt\r\n"
                               "Jan Źdźbło\r\n"
                               "Opole\r\n"
                               "Polna 1\r\n"
                               "opolskie\r\n"
                               "Tel 77 222\r\n"
                               "E-mail jan@b.pl\r\n"
                               "\r\n"
                               "4.Bank i konto\r\n"
                               "Bank Śląski\r\n"
                               "12 3456\r\n"
                               "\r\n"
                               "5.Dokumenty\r\n"
                               "NIP 725-1\r\n"
                               "PESEL 800101\r\n"
                               "REGON 4711\r\n"
                               "\r\n"
                               "6.Położenie w bazie\r\n"
                               "Data rejestracji 2007-03-05\r\n"
                               "Kod K-17\r\n"
                               "ID 17\r\n";

const char* const kEmptyFile = "\r\n\r\n\r\n"
                               "1.Adres siedziby\r\n\r\n\r\n\r\nTel \r\nE-mail \r\n\r\n"
                               "2.Adres do korespondecji\r\n\r\n\r\n\r\n\r\n"
                               "3.Osoba odpowiedzialna za kontakt\r\n\r\n\r\n\r\n\r\n"
                               "Tel \r\nE-mail \r\n\r\n"
                               "4.Bank i konto\r\n\r\n\r\n\r\n"
                               "5.Dokumenty\r\nNIP \r\nPESEL \r\nREGON \r\n\r\n"
                               "6.Położenie w bazie\r\nData rejestracji \r\nKod \r\nID \r\n";

QByteArray windows1250(const char* utf8) {
    return cp1250::encode(QString::fromUtf8(utf8));
}

} // namespace

class EntrySheetTest : public QObject {
    Q_OBJECT

private slots:
    void fileBytes_data() {
        QTest::addColumn<EntryFormValues>("form");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("shown entry") << shownForm() << windows1250(kShownFile);
        QTest::newRow("empty form: headings and prefixes")
            << EntryFormValues{} << windows1250(kEmptyFile);
    }
    void fileBytes() {
        QFETCH(EntryFormValues, form);
        QFETCH(QByteArray, expected);
        QCOMPARE(entrySheetLines(form).size(), 36);
        QCOMPARE(entrySheetFileBytes(form), expected);
        PrintoutFolder f;
        const QString path = f.folder.file(QStringLiteral("wpis.txt"));
        writeEntrySheet(path, form);
        QCOMPARE(f.folder.readBytes(QStringLiteral("wpis.txt")), expected);
    }

    void printedSheet_data() {
        QTest::addColumn<int>("dpi");
        QTest::newRow("600") << 600;
        QTest::newRow("300") << 300;
    }
    void printedSheet() {
        QFETCH(int, dpi);
        const int d = dpi / 25;
        PrintoutFolder f;
        TraceSurface surface(dpi, dpi);
        surface.setLandscape(true); // left so by someone else: the sheet is portrait
        FontSettings fonts(f.ws.workDir);
        EntryFormValues form = shownForm();
        form[Field::miejscowosc] = QStringLiteral("Zgierz"); // typed, not saved
        runPrintout(surface, fonts, [&](PageHelper& page, const PrintFont& font) {
            printEntrySheet(page, font, form);
        });
        QCOMPARE(surface.lines().first(), QStringLiteral("begin\tportrait\t%1\t%1").arg(dpi));
        const QList<QStringList> pages = pagesOf(surface.lines());
        QCOMPARE(pages.size(), 1);
        const QList<TraceText> texts = textsOf(pages.first());
        QCOMPARE(texts.size(), 30);
        QVERIFY(rectsOf(pages.first()).isEmpty());

        const QStringList fileLines = entrySheetLines(form);
        const int ys[] = {10,  20,  45,  50,  55,  60,  65,  70,  80,  85,
                          90,  95,  105, 110, 115, 120, 125, 130, 135, 145,
                          150, 155, 165, 170, 175, 180, 190, 195, 200, 205};
        const QList<int> bold = {10, 20, 45, 80, 105, 145, 165, 190};
        QStringList printed;
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(texts[i].x, 5 * d);
            QCOMPARE(texts[i].y, ys[i] * d);
            QCOMPARE(texts[i].height, fontHeight(kFontSize, dpi));
            QCOMPARE(texts[i].style,
                     bold.contains(ys[i]) ? QStringLiteral("b") : QStringLiteral("i"));
            QCOMPARE(texts[i].colour, kTeal);
            printed.append(texts[i].text);
        }
        // The printout and the file hold the same texts, the file with its empty lines.
        QStringList withoutEmpty = fileLines;
        for (int i : {31, 26, 22, 14, 9, 2})
            withoutEmpty.removeAt(i);
        QCOMPARE(printed, withoutEmpty);
        QCOMPARE(printed[3], QStringLiteral("Zgierz"));
    }

    void textExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("used");
        QTest::newRow("no extension")
            << QStringLiteral("/tmp/wpis") << QStringLiteral("/tmp/wpis.txt");
        QTest::newRow("txt") << QStringLiteral("/tmp/wpis.txt") << QStringLiteral("/tmp/wpis.txt");
        QTest::newRow("other extension")
            << QStringLiteral("/tmp/wpis.dat") << QStringLiteral("/tmp/wpis.dat");
        QTest::newRow("dot only in the folder")
            << QStringLiteral("/tmp/v1.2/wpis") << QStringLiteral("/tmp/v1.2/wpis.txt");
    }
    void textExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, used);
        QCOMPARE(withTextExtension(typed), used);
    }

    void exportThroughTheSaveDialog() {
        PrintoutFolder f;
        ScriptedDialogs dialogs;
        dialogs.expectSaveFile(QString());
        QVERIFY(!exportEntrySheet(dialogs, shownForm(), f.folder.path()));

        dialogs.expectSaveFile(f.folder.file(QStringLiteral("firma")));
        QVERIFY(exportEntrySheet(dialogs, shownForm(), f.folder.path()));
        QCOMPARE(dialogs.lastFilter(), QStringLiteral("Pliki tekstowe (*.txt)"));
        QCOMPARE(f.folder.readBytes(QStringLiteral("firma.txt")), windows1250(kShownFile));
    }

    // An existing file is replaced without asking; a write that fails leaves it as it was.
    void failedExportKeepsTheOldFile() {
        PrintoutFolder f;
        const QString path = f.folder.file(QStringLiteral("firma.txt"));
        writeEntrySheet(path, EntryFormValues{});
        writeEntrySheet(path, shownForm());
        QCOMPARE(f.folder.readBytes(QStringLiteral("firma.txt")), windows1250(kShownFile));
        files::FaultInjector faults;
        faults.failWritesAfter(100, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, writeEntrySheet(path, EntryFormValues{}, &faults));
        QCOMPARE(f.folder.readBytes(QStringLiteral("firma.txt")), windows1250(kShownFile));
        QVERIFY_THROWS_EXCEPTION(
            IoError, writeEntrySheet(f.folder.file(QStringLiteral("brak/x.txt")), shownForm()));
    }
};

KESTRANA_TEST(EntrySheetTest)
#include "EntrySheetTest.moc"
