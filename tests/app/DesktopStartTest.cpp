#include "app/DesktopStart.h"
#include "station/StorageLocation.h"
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
};

KESTRANA_TEST(DesktopStartTest)
#include "DesktopStartTest.moc"
