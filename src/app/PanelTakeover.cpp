#include "app/PanelTakeover.h"

#include <QMainWindow>
#include <QMenuBar>

namespace kestrana {

bool PanelTakeover::begin(QMainWindow& window, QWidget* panel) {
    if (active())
        return false;
    panel_ = panel;
    disabled_.clear();
    QWidget* area = panel->parentWidget();
    for (QObject* object : area->children()) {
        auto* w = qobject_cast<QWidget*>(object);
        // Controls disabled on their own stay so; they are not ours to enable afterwards.
        if (!w || w == panel || w->isWindow() || !w->isEnabledTo(area))
            continue;
        w->setEnabled(false);
        disabled_.append(w);
    }
    menuBar_ = window.menuBar();
    if (menuBar_->isEnabled()) {
        menuBar_->setEnabled(false);
    } else {
        menuBar_ = nullptr;
    }
    return true;
}

void PanelTakeover::end() {
    for (const QPointer<QWidget>& w : std::as_const(disabled_)) {
        if (w)
            w->setEnabled(true);
    }
    disabled_.clear();
    if (menuBar_)
        menuBar_->setEnabled(true);
    menuBar_ = nullptr;
    panel_ = nullptr;
}

} // namespace kestrana
