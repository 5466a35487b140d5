#include "support/DataFolder.h"
#include "support/TestRegistry.h"
#include "support/WindowSession.h"

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::entry;
using kestrana::test::WindowSession;

namespace {

// How each panel is opened and left as the user does it.
void openPanel(const WindowSession& s, const QString& panel) {
    if (panel == QLatin1String("Panel11"))
        s.click("SpeedButton18");
    else if (panel == QLatin1String("Panel12"))
        s.click("SpeedButton19");
    else if (panel == QLatin1String("Panel3"))
        s.trigger("SprawdaktualnynumerIDklienta1");
    else if (panel == QLatin1String("Panel17"))
        s.click("Button3");
    else
        s.trigger("Wydrukuproszczonylisty1");
}

void closePanel(const WindowSession& s, const QString& panel) {
    if (panel == QLatin1String("Panel11"))
        s.click("SpeedButton21");
    else if (panel == QLatin1String("Panel12"))
        s.click("BitBtn11");
    else if (panel == QLatin1String("Panel3"))
        s.click("SpeedButton22");
    else if (panel == QLatin1String("Panel17"))
        s.click("SpeedButton8");
    else
        s.click("SpeedButton14");
}

// Every control's own enabled state, so that closing is seen to give back exactly what was.
QHash<QWidget*, bool> enabledStates(QWidget* window) {
    QHash<QWidget*, bool> states;
    for (QWidget* w : window->findChildren<QWidget*>())
        states.insert(w, w->isEnabledTo(window));
    return states;
}

void threeEntries(const DataFolder& folder) {
    folder.writeEntries(
        {entry("1", "Alfa", "K-1"), entry("2", "Beta", "K-2"), entry("3", "Gamma", "K-3")});
}

} // namespace

class PanelTakeoverTest : public QObject {
    Q_OBJECT

private slots:
    void panelHoldsTheWindow_data() {
        QTest::addColumn<QString>("panel");
        QTest::newRow("description") << QStringLiteral("Panel11");
        QTest::newRow("filter") << QStringLiteral("Panel12");
        QTest::newRow("definable printout") << QStringLiteral("Panel22");
        QTest::newRow("ID counter") << QStringLiteral("Panel3");
        QTest::newRow("voivodeships") << QStringLiteral("Panel17");
    }

    void panelHoldsTheWindow() {
        QFETCH(QString, panel);
        DataFolder folder;
        threeEntries(folder);
        WindowSession s;
        s.startAsBoss(folder.path());
        s.window->show();
        const QHash<QWidget*, bool> before = enabledStates(s.window.get());
        openPanel(s, panel);
        auto* shown = s.find<QWidget>(panel);
        QVERIFY(!shown->isHidden());
        QVERIFY(!s.window->menuBar()->isEnabled());
        // Nothing outside the panel can be used; inside it, what was usable still is.
        for (QWidget* w : s.window->findChildren<QWidget*>()) {
            if (w->isHidden() || w->window() != s.window.get() || w == shown ||
                w->isAncestorOf(shown))
                continue;
            if (shown->isAncestorOf(w))
                continue;
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
        QVERIFY(shown->isEnabled());
        // The focus waits in the panel's first field.
        QWidget* focus = s.window->focusWidget();
        QVERIFY(focus);
        QVERIFY2(shown->isAncestorOf(focus), qPrintable(focus->objectName()));
        // The other panels do not open over it, even when asked directly.
        s.window->openDescription();
        s.window->openFilter();
        s.window->openDefinablePrintout();
        for (const char* other : {"Panel11", "Panel12", "Panel22"}) {
            if (panel != QLatin1String(other))
                QVERIFY2(s.find<QWidget>(QLatin1String(other))->isHidden(), other);
        }
        // Ctrl+N, a main button's shortcut, does nothing while the panel holds the window.
        QTest::keyClick(s.window.get(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!s.window->addMode());
        closePanel(s, panel);
        QVERIFY(shown->isHidden());
        QVERIFY(s.window->menuBar()->isEnabled());
        QCOMPARE(enabledStates(s.window.get()), before);
    }

    void descriptionStaysWithTheEntryItWasOpenedFor() {
        DataFolder folder;
        threeEntries(folder);
        WindowSession s;
        s.start(folder.path());
        s.clickLine(s.rowOfId(QStringLiteral("3")));
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Gamma"));
        s.click("SpeedButton18");
        s.find<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("Opis Gammy\n"));
        // Something behind the panel loads another entry (the view menu rebuilds the list and
        // loads its first line).
        s.window->setViewMode(ViewMode::Nazwa);
        QCOMPARE(s.field("nazwa1"), QStringLiteral("Alfa"));
        s.click("SpeedButton21");
        QCOMPARE(folder.readBytes("OPISY/opis_ks_3.dat"), QByteArray("Opis Gammy\r\n"));
        QVERIFY(!QFile::exists(folder.file("OPISY/opis_ks_1.dat")));
    }
};

KESTRANA_TEST(PanelTakeoverTest)
#include "PanelTakeoverTest.moc"
