#include "app/ProgramWindows.h"
#include "cash/CompanyDataDialog.h"
#include "envelope/EnvelopeTexts.h"
#include "platform/Mnemonics.h"
#include "platform/TabOrder.h"
#include "register/DataFolderSetup.h"
#include "support/DataFolder.h"
#include "support/DemoProgram.h"
#include "support/ScriptedDialogs.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

bool hasLatinLetter(const QString& caption) {
    for (const QChar c : caption) {
        if (c.isLetter() && c.unicode() < 128)
            return true;
    }
    return false;
}

// Fails the test when a caption with a letter has no mnemonic or two captions share one.
void checkGroup(const QString& where, const QStringList& captions) {
    for (const QString& caption : captions) {
        if (hasLatinLetter(caption) && mnemonics::keyOf(caption).isNull())
            QFAIL(qPrintable(QStringLiteral("%1: „%2” has no mnemonic").arg(where, caption)));
    }
    const QList<QChar> clashes = mnemonics::clashes(captions);
    if (!clashes.isEmpty())
        QFAIL(qPrintable(QStringLiteral("%1: Alt+%2 twice in %3")
                             .arg(where, QString(clashes.first()), captions.join(u" | "))));
}

// Every menu of the window on its own, and the window's buttons with its menu bar: the buttons
// of a panel that holds the window (nothing else usable meanwhile) form a group of their own.
void checkWindow(QWidget* window, const QStringList& panelsOfTheirOwn = {}) {
    const QString name = window->objectName();
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        QStringList items;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                items << action->text().section(u'\t', 0, 0);
        }
        checkGroup(name + u'/' + menu->objectName(), items);
    }
    QHash<QString, QStringList> groups;
    if (auto* bar = window->findChild<QMenuBar*>()) {
        for (QAction* action : bar->actions())
            groups[name] << action->text();
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            continue;
        if (button->window() != window || button->text().isEmpty())
            continue;
        QString group = name;
        for (const QString& panel : panelsOfTheirOwn) {
            if (window->findChild<QWidget*>(panel)->isAncestorOf(button))
                group = panel;
        }
        groups[group] << button->text();
    }
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        checkGroup(it.key(), it.value());
}

void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void everyMenuAndWindowHasMnemonicsWithoutClashes() {
        test::DemoProgram demo;
        ProgramWindows& windows = demo.windows;
        QVERIFY(windows.start());
        checkWindow(&windows.main(), {"Panel3", "Panel11", "Panel12", "Panel17", "Panel22"});
        // In add mode the add button says "Zaniechaj" and must still fit among the others.
        windows.main().findChild<QAbstractButton*>("SpeedButton15")->click();
        checkWindow(&windows.main(), {"Panel3", "Panel11", "Panel12", "Panel17", "Panel22"});
        checkWindow(&windows.voucher());
        checkWindow(&windows.envelope());
        checkWindow(&windows.notepad());
        checkWindow(&windows.categories());
        CompanyDataDialog company(windows.main().workstation(), demo.prompts);
        checkWindow(&company);
    }

    void mainWindowShortcuts() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa", "K-1"), entry("2", "Beta", "K-2")});
        WindowSession s;
        s.start(folder.path());
        int helpOpened = 0;
        s.window->setNotepadOpener([&](const notepad::Request&) { ++helpOpened; });
        activate(s.window.get());
        QWidget* w = s.window.get();

        QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), s.find<QWidget>("coszukac"));

        QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(s.window->addMode());
        QCOMPARE(QApplication::focusWidget(), s.find<QWidget>("numer"));
        s.setField("nazwa1", QStringLiteral("Gamma"));
        // A second Ctrl+N keeps what was typed.
        QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(s.window->addMode());
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Gamma"));
        s.prompts.expectQuestion(QStringLiteral("Zapisać nowe dane ?"), true);
        QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(s.prompts.done());
        QVERIFY(!s.window->addMode());
        QCOMPARE(folder.readEntries().size(), size_t(3));

        s.dialogs.expectPrintCancel();
        QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(s.dialogs.done());
        QTest::keyClick(w, Qt::Key_F1);
        QCOMPARE(helpOpened, 1);

        // Behind a panel the menu items' keys are off like the menus.
        s.click("SpeedButton19");
        QTest::keyClick(w, Qt::Key_F1);
        QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(helpOpened, 1);
    }

    void escapeTakesThePanelsWayBack_data() {
        QTest::addColumn<QString>("panel");
        QTest::newRow("ID counter") << QStringLiteral("Panel3");
        QTest::newRow("voivodeships") << QStringLiteral("Panel17");
        QTest::newRow("definable printout") << QStringLiteral("Panel22");
    }

    void escapeTakesThePanelsWayBack() {
        QFETCH(QString, panel);
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa", "K-1")});
        WindowSession s;
        s.startAsBoss(folder.path());
        activate(s.window.get());
        if (panel == QLatin1String("Panel3"))
            s.trigger("SprawdaktualnynumerIDklienta1");
        else if (panel == QLatin1String("Panel17"))
            s.click("Button2");
        else
            s.trigger("Wydrukuproszczonylisty1");
        QVERIFY(!s.find<QWidget>(panel)->isHidden());
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(s.find<QWidget>(panel)->isHidden());
        QVERIFY(s.window->menuBar()->isEnabled());
        // With nothing open, Esc leaves the main window alone.
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(s.window->isVisible());
    }

    void escapeLeavesTheSmallWindows() {
        test::DemoProgram demo;
        ProgramWindows& windows = demo.windows;
        QVERIFY(windows.start());
        const auto escapeCloses = [](QWidget* window) {
            activate(window);
            QTest::keyClick(window, Qt::Key_Escape);
            return !window->isVisible();
        };
        windows.main().findChild<QAction*>("Kw1")->trigger();
        // The help panel closes first, then the window.
        windows.voucher().findChild<QAbstractButton*>("SpeedButton11")->click();
        QWidget* voucherHelp = windows.voucher().findChild<QWidget*>("Panel3");
        QVERIFY(voucherHelp->isVisible());
        QVERIFY(!escapeCloses(&windows.voucher()));
        QVERIFY(voucherHelp->isHidden());
        QVERIFY(escapeCloses(&windows.voucher()));
        windows.main().findChild<QAbstractButton*>("SpeedButton3")->click();
        // "Koniec" asks first, as its click does.
        demo.prompts.expectQuestion(envelope::quitQuestion(), true);
        QVERIFY(escapeCloses(&windows.envelope()));
        windows.main().findChild<QAction*>("Pomoc1")->trigger();
        QVERIFY(escapeCloses(&windows.notepad()));
        windows.categories().open();
        QVERIFY(escapeCloses(&windows.categories()));
    }

    void tabFollowsTheFormTopToBottom() {
        DataFolder folder;
        folder.writeEntries({entry("1", "Alfa", "K-1")});
        WindowSession s;
        s.start(folder.path());
        const QList<QWidget*> stops = readingTabStops(s.window.get());
        // The form's first fields, as the user reads them.
        QList<qsizetype> at;
        for (const char* name : {"numer", "nazwa1", "nazwa2", "miejscowosc", "adres"})
            at << stops.indexOf(s.find<QWidget>(QLatin1String(name)));
        for (qsizetype i = 0; i < at.size(); ++i) {
            QVERIFY(at[i] >= 0);
            if (i > 0)
                QVERIFY2(at[i - 1] < at[i], qPrintable(QString::number(i)));
        }
        // The chain the Tab key follows is that order.
        QWidget* numer = s.find<QWidget>("numer");
        QWidget* next = numer->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next, stops[stops.indexOf(numer) + 1]);
    }
};

KESTRANA_TEST(KeyboardTest)
#include "KeyboardTest.moc"
