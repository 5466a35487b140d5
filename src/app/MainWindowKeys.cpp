// The main window's keyboard: shortcuts for the everyday actions, Esc for the small panels'
// way back, and Tab in reading order.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "platform/TabOrder.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace kestrana {

void Tbaza_f::wireKeys() {
    // Each shortcut belongs to its control: it works only while that control can be used, so a
    // panel that holds the window switches them off with everything else.
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
    setReadingTabOrder(this);
}

void Tbaza_f::keyPressEvent(QKeyEvent* event) {
    // Esc is the way back of the small panels that have one; the window itself is left only
    // through "Wyjście z programu".
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (takeover_.panel() == ui->Panel22) {
            ui->SpeedButton14->click();
            return;
        }
        if (!takeover_.active() && ui->Panel17->isVisible()) {
            ui->SpeedButton8->click();
            return;
        }
        if (!takeover_.active() && ui->Panel3->isVisible()) {
            ui->SpeedButton22->click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace kestrana
