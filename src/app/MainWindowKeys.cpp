// The main window's keyboard: shortcuts for the everyday actions, Esc for the small panels'
// way back, and Tab in reading order.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "platform/EscapeKey.h"
#include "platform/TabOrder.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>

namespace kestrana {

void Tbaza_f::wireKeys() {
    // Each button's shortcut belongs to the button: it works only while the button can be
    // clicked, so a panel that holds the window switches them off with everything else.
    auto* add = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), ui->SpeedButton15);
    connect(add, &QShortcut::activated, this, [this] {
        // Only ever adds: a second press must not throw away what was typed for the new entry.
        if (!session_->addMode())
            ui->SpeedButton15->click();
        fields_[static_cast<int>(Field::numer)]->setFocus(Qt::ShortcutFocusReason);
    });
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), ui->SpeedButton17);
    connect(save, &QShortcut::activated, ui->SpeedButton17, &QAbstractButton::click);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), ui->coszukac);
    connect(find, &QShortcut::activated, this, [this] {
        ui->coszukac->setFocus(Qt::ShortcutFocusReason);
        ui->coszukac->selectAll();
    });
    ui->SpeedButton15->setToolTip(QStringLiteral("Dodaj wpis (Ctrl+N)"));
    ui->SpeedButton17->setToolTip(QStringLiteral("Zapisz dane (Ctrl+S)"));
    ui->coszukac->setToolTip(QStringLiteral("Szukane słowo (Ctrl+F)"));
    addMenuKey(QKeySequence(Qt::CTRL | Qt::Key_P), ui->Wydrukaktualnejlisty1, ui->menuWydruki);
    addMenuKey(QKeySequence(Qt::Key_F1), ui->Pomoc1, ui->menuDodatki);
    // The small panels' way back; the window itself is left only through "Wyjście z programu".
    bindEscape(this, {ui->SpeedButton14, ui->SpeedButton8, ui->SpeedButton22});
    setReadingTabOrder(this);
}

void Tbaza_f::addMenuKey(const QKeySequence& key, QAction* action, QMenu* menu) {
    // The menu shows the key after a tab; the key works exactly when the item could be chosen
    // with the mouse (a menu disabled before start-up or behind a panel keeps it off).
    action->setText(action->text() + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, [this, action, menu] {
        if (menuBar()->isEnabled() && menu->menuAction()->isEnabled() && action->isEnabled())
            action->trigger();
    });
}

} // namespace kestrana
