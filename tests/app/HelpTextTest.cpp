#include "app/ProgramWindows.h"
#include "platform/CodePage.h"
#include "platform/Mnemonics.h"
#include "register/DataFolderSetup.h"
#include "support/DataFolder.h"
#include "support/DemoProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

// Every caption the user can see on the program's windows: menus, their items, buttons.
QSet<QString> captionsOf(const QList<QWidget*>& windows) {
    QSet<QString> captions;
    for (QWidget* window : windows) {
        for (QAction* action : window->findChildren<QAction*>())
            captions << mnemonics::shown(action->text().section(u'\t', 0, 0));
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
            captions << mnemonics::shown(button->text());
    }
    return captions;
}

} // namespace

class HelpTextTest : public QObject {
    Q_OBJECT

private slots:
    void installedAsFlowingParagraphs() {
        DataFolder folder(false);
        installDataFolder(folder.path(), false, QStringLiteral("2026-12-07"));
        QFile installed(folder.file("POMOC/bazaadresowa.dat"));
        QVERIFY(installed.open(QIODevice::ReadOnly));
        const QByteArray file = installed.readAll();
        // Windows-1250 with CR LF, every letter kept.
        QVERIFY(file.contains("\xb3\xb9")); // "łą"
        QCOMPARE(file.count('\n'), file.count("\r\n"));
        QFile source(QStringLiteral(":/kestrana/POMOC/bazaadresowa.txt"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(source.readAll());
        QCOMPARE(cp1250::decode(file).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), text);
        // A paragraph is one line: the notepad wraps it to its width.
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!lines[i].isEmpty() && !lines[i - 1].isEmpty())
                QFAIL(qPrintable(QStringLiteral("a hard break before: ") + lines[i]));
        }
    }

    void namesOnlyCaptionsTheProgramShows() {
        test::DemoProgram demo;
        ProgramWindows& windows = demo.windows;
        QVERIFY(windows.start());
        QSet<QString> known = captionsOf({&windows.main(), &windows.voucher(), &windows.envelope(),
                                          &windows.notepad(), &windows.categories()});
        // Captions shown elsewhere: the desktop menu's entries, the form's marks, messages, the
        // add button in add mode, the busy window's button, and the backups' restore, which
        // the menu gets with the backup work.
        known += {"Kestrana",
                  "Kestrana — poziom Szefa",
                  "poprawny",
                  "błędny",
                  "Rekord danych chwilowo zajęty przez innego użytkownika.",
                  "Koniec pracy ?",
                  "Zaniechaj",
                  "Anuluj",
                  "Przywróć kopię…"};
        QFile source(QStringLiteral(":/kestrana/POMOC/bazaadresowa.txt"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(source.readAll());
        const QRegularExpression quoted(QStringLiteral("„([^”]+)”"));
        int count = 0;
        for (const QRegularExpressionMatch& m : quoted.globalMatch(text)) {
            ++count;
            QVERIFY2(known.contains(m.captured(1)), qPrintable(m.captured(1)));
        }
        QVERIFY(count > 40);
    }
};

KESTRANA_TEST(HelpTextTest)
#include "HelpTextTest.moc"
