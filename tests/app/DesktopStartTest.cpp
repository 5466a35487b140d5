#include "app/DesktopStart.h"
#include "station/StorageLocation.h"
#include "station/UserLevel.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;
using kestrana::test::ScriptedPrompts;

namespace {

const QString kQuestion = QStringLiteral("Nie ma jeszcze folderu danych programu.\n"
                                         "Utworzyć nowy, pusty rejestr w folderze „%1”?");

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every path below `dir` with the contents of files.
QStringList tree(const QString& dir) {
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString line = QDir(dir).relativeFilePath(path);
        if (it.fileInfo().isFile()) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                line += QLatin1Char('=') + QString::fromLatin1(file.readAll().toHex());
        }
        entries.append(line);
    }
    entries.sort();
    return entries;
}

QStringList leftovers(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.tmp.*")}, QDir::AllEntries | QDir::Hidden);
}

} // namespace

// A user who starts the program from the desktop menu gets a data folder in the home directory.
class DesktopStartTest : public QObject {
    Q_OBJECT

private slots:
    void theTemplateIsCopiedAfterAsking() {
        QTemporaryDir home;
        const QString templateDir = home.filePath(QStringLiteral("wzor"));
        // A template made where it was built records that folder as the place of the data.
        QDir().mkpath(templateDir + QStringLiteral("/ADMINI"));
        startup::locateStorage(templateDir);
        write(templateDir + QStringLiteral("/POMOC/bazaadresowa.dat"), "Pomoc\r\n");
        QDir().mkpath(templateDir + QStringLiteral("/DANE"));
        const QString target = homeDataFolder(home.path());
        QCOMPARE(target, home.filePath(QStringLiteral("Kestrana")));

        ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Kestrana"), kQuestion.arg(target), false);
        QVERIFY(!prepareHomeFolder(prompts, templateDir, target, QStringLiteral("2026-12-07")));
        QVERIFY(!QFileInfo::exists(target));

        prompts.expectQuestion(QStringLiteral("Kestrana"), kQuestion.arg(target), true);
        QCOMPARE(prepareHomeFolder(prompts, templateDir, target, QStringLiteral("2026-12-07")),
                 target);
        QStringList expected = tree(templateDir);
        expected.removeIf([](const QString& entry) { return entry.startsWith("ADMINI/siec.dat"); });
        QCOMPARE(tree(target), expected);
        QCOMPARE(startup::locateStorage(target).baseDir, target);
        QVERIFY(leftovers(home.path()).isEmpty());

        // Once there, the folder is used without asking.
        QCOMPARE(prepareHomeFolder(prompts, templateDir, target, QStringLiteral("2026-12-07")),
                 target);
    }

    void withoutATemplateTheProgramMakesTheFolder() {
        QTemporaryDir home;
        const QString target = homeDataFolder(home.path());
        ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Kestrana"), kQuestion.arg(target), true);
        QCOMPARE(prepareHomeFolder(prompts, QString(), target, QStringLiteral("2026-12-07")),
                 target);
        QVERIFY(QFile::exists(target + QStringLiteral("/POMOC/bazaadresowa.dat")));
        // The data lie in the folder itself, not in the one it was built in.
        QCOMPARE(startup::locateStorage(target).baseDir, target);
        QVERIFY(QFileInfo(target + QStringLiteral("/DANE")).isDir());
    }

    // A folder that cannot be made is reported and leaves nothing half made.
    void aFailureLeavesNothing() {
        QTemporaryDir home;
        write(home.filePath(QStringLiteral("plik")), "nie katalog");
        const QString target = home.filePath(QStringLiteral("plik/Kestrana"));
        ScriptedPrompts prompts;
        prompts.expectQuestion(QStringLiteral("Kestrana"), kQuestion.arg(target), true);
        prompts.expectError();
        QVERIFY(!prepareHomeFolder(prompts, QString(), target, QStringLiteral("2026-12-07")));
        QVERIFY(leftovers(home.path()).isEmpty());
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("plik")});
    }

    void theTemplateLiesBesideTheProgram() {
        QTemporaryDir prefix;
        QDir().mkpath(prefix.filePath(QStringLiteral("bin")));
        QCOMPARE(installedTemplate(prefix.filePath(QStringLiteral("bin"))), QString());
        QDir().mkpath(prefix.filePath(QStringLiteral("share/kestrana/template")));
        QCOMPARE(installedTemplate(prefix.filePath(QStringLiteral("bin"))),
                 prefix.filePath(QStringLiteral("share/kestrana/template")));
    }

    // The menu entry and its boss action, as the desktop starts them: both take the home data
    // folder, and only the action gives the boss level.
    void theMenuEntryAndItsBossAction_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("boss");
        QTest::newRow("entry") << "[Desktop Entry]" << false;
        QTest::newRow("boss action") << "[Desktop Action szef]" << true;
    }
    void theMenuEntryAndItsBossAction() {
        QFETCH(QString, group);
        QFETCH(bool, boss);
        QFile file(QStringLiteral(":/kestrana/desktop/kestrana.desktop"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        const qsizetype start = lines.indexOf(group);
        QVERIFY(start >= 0);
        QString exec;
        for (qsizetype i = start + 1; i < lines.size() && !lines[i].startsWith('['); ++i) {
            if (lines[i].startsWith(QStringLiteral("Exec=")))
                exec = lines[i].mid(5);
        }
        QStringList arguments = exec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(arguments.value(0), QStringLiteral("kestrana"));
        QVERIFY(takeDesktopArgument(arguments));
        QCOMPARE(startup::bossLevel(arguments), boss);
        QVERIFY(!takeDesktopArgument(arguments));
    }
};

KESTRANA_TEST(DesktopStartTest)
#include "DesktopStartTest.moc"
