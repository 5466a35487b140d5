#pragma once

#include <QList>
#include <QPointer>

class QMainWindow;
class QWidget;

namespace kestrana {

// A panel that takes over the main window (description, filter, definable printout, ID counter,
// voivodeship chooser): while it is open, the menu bar and every other control of the window
// are disabled, so nothing can load another entry behind it or open a second panel over it;
// the panel is left only through its own buttons (or Esc, where that is one of them). Closing
// gives back exactly what was enabled before.
class PanelTakeover {
public:
    // False (and nothing changes) while another panel holds the window.
    bool begin(QMainWindow& window, QWidget* panel);
    void end();
    bool active() const { return !panel_.isNull(); }
    QWidget* panel() const { return panel_; }

private:
    QPointer<QWidget> panel_;
    QPointer<QWidget> menuBar_;
    // Controls this takeover disabled, to be enabled again at the end.
    QList<QPointer<QWidget>> disabled_;
};

} // namespace kestrana
