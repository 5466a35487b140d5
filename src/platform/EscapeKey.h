#pragma once

#include <QList>

class QWidget;

namespace kestrana {

// Esc in `window` takes the first of `ways` the user could use now (shown and enabled): a
// button is clicked, anything else (a pick list) is hidden. The order is innermost first
// ("Koniec pomocy" before "Powrót"); with none of them usable, Esc does nothing. A cell editor
// keeps its own Esc, which cancels the edit.
void bindEscape(QWidget* window, const QList<QWidget*>& ways);

} // namespace kestrana
