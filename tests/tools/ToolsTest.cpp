#include "station/SmallRecords.h"
#include "station/StorageLocation.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"
#include "tools/CommandLines.h"
#include "tools/Notepad.h"
#include "tools/NotepadWindow.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedPrompts;

namespace {

EntryRecord company(const QString& id, const QString& nazwa1, const QString& nazwa2 = {},
                    const QString& miejscowosc = {}, const QString& adres = {}) {
    EntryRecord r;
    r.setText(Field::id, id);
    r.setText(Field::nazwa1, nazwa1);
    r.setText(Field::nazwa2, nazwa2);
    r.setText(Field::miejscowosc, miejscowosc);
    r.setText(Field::adres, adres);
    return r;
}

void makeExecutable(const QString& path, const QByteArray& script) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(script);
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser));
}

} // namespace

class ToolsTest : public QObject {
    Q_OBJECT

private slots:
    void commandLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        const EntryRecord abc =
            company("15", "ABC", "", QStringLiteral("Gdańsk"), QStringLiteral("Długa 1"));
        QTest::newRow("Komentarze") << commands::komentarze(abc).text()
                                    << QStringLiteral("tolisk.exe 15.dos \"Komentarze dla: ABC \"");
        QTest::newRow("Rejestr dokumentów")
            << commands::rejestrDokumentow(abc).text()
            << QStringLiteral("verana.exe 15.dos \"Rejestr dokumentów dla: ABC \"");
        QTest::newRow("Rejestr zadań")
            << commands::rejestrZadan(abc).text()
            << QStringLiteral("murena.exe 15.dos \"ABC \" \"\" \"Gdańsk Długa 1\"");
        QTest::newRow("empty entry") << commands::komentarze(EntryRecord()).text()
                                     << QStringLiteral("tolisk.exe .dos \"Komentarze dla:  \"");
        QTest::newRow("Czytnik zadań")
            << commands::czytnikZadan() << QStringLiteral("pasvik.exe *.dos");
    }
    void commandLines() {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(line, expected);
    }

    void parsing_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("task register")
            << QStringLiteral("murena.exe 15.dos \"ABC \" \"\" \"Gdańsk Długa 1\"")
            << QStringList{"murena.exe", "15.dos", "ABC ", "", QStringLiteral("Gdańsk Długa 1")};
        QTest::newRow("shell text stays text")
            << QStringLiteral("tolisk.exe 1.dos \"Komentarze dla: X; rm -rf ~ $(id) \"")
            << QStringList{"tolisk.exe", "1.dos", "Komentarze dla: X; rm -rf ~ $(id) "};
        QTest::newRow("quote inside a name")
            << QStringLiteral("tolisk.exe 1.dos \"Komentarze dla: A\"B C \"")
            << QStringList{"tolisk.exe", "1.dos", "Komentarze dla: AB", "C", ""};
        QTest::newRow("pattern") << QStringLiteral("pasvik.exe *.dos")
                                 << QStringList{"pasvik.exe", "*.dos"};
        QTest::newRow("empty") << QString() << QStringList{""};
    }
    void parsing() {
        QFETCH(QString, line);
        QFETCH(QStringList, parts);
        const commands::ParsedCommand parsed = commands::parse(line);
        QCOMPARE(QStringList{parsed.program} + parsed.arguments, parts);
    }

    // The executable's folder, then PATH; never the working directory (nor the data folder,
    // which is where a mail program starts), where anyone sharing the folder could plant one.
    void programsAreLookedUpInOrder() {
        QTemporaryDir exeDir, workDir, pathDir;
        makeExecutable(workDir.filePath("tolisk"), "#!/bin/sh\n");
        makeExecutable(workDir.filePath("kormel"), "#!/bin/sh\n");
        makeExecutable(pathDir.filePath("tolisk.exe"), "#!/bin/sh\n");
        makeExecutable(pathDir.filePath("verana"), "#!/bin/sh\n");
        makeExecutable(pathDir.filePath("gedit"), "#!/bin/sh\n");
        const QString path = pathDir.path() + ":.::relative/bin";
        const auto find = [&](const QString& name) {
            return commands::findProgram(name, exeDir.path(), path);
        };
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workDir.path()));
        QCOMPARE(find("tolisk.exe"), pathDir.filePath("tolisk.exe"));
        QCOMPARE(find("kormel.exe"), QString());
        QCOMPARE(find("./kormel"), QString());
        QCOMPARE(find(workDir.filePath("kormel")), workDir.filePath("kormel"));
        QVERIFY(QDir::setCurrent(here));
        makeExecutable(exeDir.filePath("tolisk.exe"), "#!/bin/sh\n");
        QCOMPARE(find("tolisk.exe"), exeDir.filePath("tolisk.exe"));
        QCOMPARE(find("verana.exe"), pathDir.filePath("verana"));
        QCOMPARE(find("notepad.exe"), pathDir.filePath("gedit"));
        QCOMPARE(find("murena.exe"), QString());
        QCOMPARE(find("calc.exe"), QString());
    }

    // A field's text stays one argument whatever it holds: quote marks, blanks, options.
    void fieldsStayOneArgument_data() {
        QTest::addColumn<QString>("nazwa1");
        QTest::addColumn<QString>("nazwa2");
        QTest::newRow("quote marks")
            << QStringLiteral("Odd \" quote --delete-all \"") << QStringLiteral("\"");
        QTest::newRow("percent signs") << QStringLiteral("100% %2 %1") << QStringLiteral("%3");
        QTest::newRow("plain") << QStringLiteral("ABC") << QString();
    }
    void fieldsStayOneArgument() {
        QFETCH(QString, nazwa1);
        QFETCH(QString, nazwa2);
        const EntryRecord r = company("42", nazwa1, nazwa2, QStringLiteral("Gdańsk"), "A \"1\"");
        const commands::ParsedCommand komentarze = commands::komentarze(r).parsed();
        QCOMPARE(komentarze.program, QStringLiteral("tolisk.exe"));
        QCOMPARE(komentarze.arguments,
                 (QStringList{"42.dos", QStringLiteral("Komentarze dla: ") + nazwa1 + ' '}));
        const commands::ParsedCommand zadania = commands::rejestrZadan(r).parsed();
        QCOMPARE(zadania.arguments,
                 (QStringList{"42.dos", nazwa1 + ' ', nazwa2, QStringLiteral("Gdańsk A \"1\"")}));
        // The line as it reads still has the fields as they are.
        QVERIFY(commands::komentarze(r).text().contains(nazwa1));
        const commands::ParsedCommand mail =
            commands::mailProgram(QStringLiteral("a\"b c@d.pl --x")).parsed();
        QCOMPARE(mail.program, QStringLiteral("kormel.exe"));
        QCOMPARE(mail.arguments, QStringList{QStringLiteral("a\"b c@d.pl --x")});
        QVERIFY(commands::mailProgram(QString()).isEmpty());
        QCOMPARE(commands::mailProgram(QString(300, 'x')).text().size(), 200);
    }

    // The address goes to the mail client as one address: nothing in it adds a subject, a copy
    // or a second recipient.
    void mailtoKeepsTheAddressWhole_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::newRow("plain") << "biuro@abc.pl"
                               << "mailto:biuro@abc.pl";
        QTest::newRow("blanks around") << "  biuro@abc.pl "
                                       << "mailto:biuro@abc.pl";
        QTest::newRow("query inside") << "a@b.pl?cc=x@y.pl"
                                      << "mailto:a@b.pl%3Fcc=x@y.pl";
        QTest::newRow("fragment and percent") << "a%41#b@c.pl"
                                              << "mailto:a%2541%23b@c.pl";
        QTest::newRow("Polish letters") << "żółw@łódź.pl"
                                        << "mailto:%C5%BC%C3%B3%C5%82w@%C5%82%C3%B3d%C5%BA.pl";
        QTest::newRow("empty") << "   "
                               << "";
    }
    void mailtoKeepsTheAddressWhole() {
        QFETCH(QString, address);
        QFETCH(QString, url);
        QCOMPARE(commands::mailtoUrl(address).toString(QUrl::FullyEncoded), url);
    }

    void aStartedProgramGetsItsArguments() {
        QTemporaryDir dir;
        const QString record = dir.filePath("args.txt");
        makeExecutable(dir.filePath("tolisk"),
                       "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                           record.toUtf8() + ".part\"\nmv \"" + record.toUtf8() + ".part\" \"" +
                           record.toUtf8() + "\"\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8() + ':' + path);
        const EntryRecord r =
            company("7", QStringLiteral("Zakład; touch INJECTED # Odd \" quote --delete-all \""));
        QCOMPARE(commands::start(commands::komentarze(r), dir.path()),
                 commands::StartOutcome::Started);
        qputenv("PATH", path);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile f(record);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()),
                 QStringLiteral("7.dos\nKomentarze dla: Zakład; touch INJECTED # Odd \" quote "
                                "--delete-all \" \n"));
        QVERIFY(!QFile::exists(dir.filePath("INJECTED")));
        QCOMPARE(commands::start(QStringLiteral("nieistniejacy.exe"), dir.path()),
                 commands::StartOutcome::NotFound);
    }

    void helpIsCreatedEmptyAndNotSaved() {
        DataFolder folder;
        QVERIFY(QFile::remove(folder.file("POMOC/bazaadresowa.dat")));
        ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FontSettings fonts;
        Tlogowania_f window(prompts, dialogs, fonts, folder.path());
        QVERIFY(window.FormCreate());
        QVERIFY(window.open(notepad::helpRequest()));
        QCOMPARE(window.windowTitle(), QStringLiteral("Przewodnik po bazie adresowej."));
        QVERIFY(QFile::exists(folder.file("POMOC/bazaadresowa.dat")));
        QCOMPARE(folder.readBytes("POMOC/bazaadresowa.dat"), QByteArray());
        window.findChild<QPlainTextEdit*>("Memo1")->setPlainText("typed");
        window.leave();
        QVERIFY(window.isHidden());
        QCOMPARE(folder.readBytes("POMOC/bazaadresowa.dat"), QByteArray());
    }

    void editedLibraryIsWrittenWithCrLf_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("no final break") << QStringLiteral("Wpłata\nZaliczka")
                                        << QByteArray("Wp\xb3"
                                                      "ata\r\nZaliczka");
        QTest::newRow("final break kept") << QStringLiteral("a\n") << QByteArray("a\r\n");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void editedLibraryIsWrittenWithCrLf() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        DataFolder folder;
        QVERIFY(QDir(folder.path()).mkpath("DOKUMENTY"));
        folder.writeBytes("DOKUMENTY/kptresc.dat", "stare\rlinie\n");
        ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FontSettings fonts;
        Tlogowania_f window(prompts, dialogs, fonts, folder.path());
        QVERIFY(window.open({"\\DOKUMENTY\\kptresc.dat", "Edytor stałej treści", 2}));
        auto* memo = window.findChild<QPlainTextEdit*>("Memo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("stare\nlinie\n"));
        memo->setPlainText(typed);
        window.leave();
        QCOMPARE(folder.readBytes("DOKUMENTY/kptresc.dat"), stored);
    }

    void displayedLinesFollowTheWrapping() {
        DataFolder folder;
        QVERIFY(QDir(folder.path()).mkpath("POMOC"));
        folder.writeBytes("POMOC/bazaadresowa.dat",
                          "krotka\r\n" + QByteArray("slowo ").repeated(60) + "\r\n\r\nkoniec\r\n");
        ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FontSettings fonts;
        Tlogowania_f window(prompts, dialogs, fonts, folder.path());
        QVERIFY(window.open(notepad::helpRequest()));
        const QStringList lines = window.displayedLines();
        QCOMPARE(lines.first(), QStringLiteral("krotka"));
        QCOMPARE(lines.last(), QStringLiteral("koniec"));
        QVERIFY(lines.size() > 5); // the long line is shown as several
        QCOMPARE(lines.join(QString()).count(QStringLiteral("slowo")), 60);
    }

    void unreachableShareAtStart_data() {
        QTest::addColumn<bool>("switchToLocal");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void unreachableShareAtStart() {
        QFETCH(bool, switchToLocal);
        DataFolder station;
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaLokalna = station.path();
        siec.sciezkaSieciowa = station.path() + "/brak/udzialu";
        station.writeBytes("ADMINI/siec.dat", siec.toBytes());
        ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Informacja"), startup::networkQuestion(),
                               switchToLocal);
        if (switchToLocal)
            prompts.expectInformation(QStringLiteral("Uruchom ponownie program"));
        test::ScriptedDialogs dialogs;
        FontSettings fonts;
        Tlogowania_f window(prompts, dialogs, fonts, station.path());
        QVERIFY(!window.FormCreate());
        const StorageRecord after = StorageRecord::fromBytes(station.readBytes("ADMINI/siec.dat"));
        QCOMPARE(after.tryb, switchToLocal ? 1 : 2);
        QCOMPARE(after.sciezkaLokalna, siec.sciezkaLokalna);
        QCOMPARE(after.sciezkaSieciowa, siec.sciezkaSieciowa);
    }

    void reachableShareIsQuiet() {
        DataFolder station;
        DataFolder share;
        share.writeBytes("ADMINI/siec.dat", StorageRecord().toBytes());
        StorageRecord siec;
        siec.tryb = 2;
        siec.sciezkaSieciowa = share.path();
        station.writeBytes("ADMINI/siec.dat", siec.toBytes());
        ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FontSettings fonts;
        Tlogowania_f window(prompts, dialogs, fonts, station.path());
        QVERIFY(window.FormCreate());
        QCOMPARE(window.baseDir(), share.path());
    }
};

KESTRANA_TEST(ToolsTest)
#include "ToolsTest.moc"
