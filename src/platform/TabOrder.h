#pragma once

#include <QList>

class QWidget;

namespace kestrana {

// The controls inside `root` that the Tab key stops at, in reading order (row by row, each
// row from the left, a frame's controls together). Hidden ones are included: they take their
// place when shown.
QList<QWidget*> readingTabStops(QWidget* root);

// Makes the Tab key follow the reading order through a window built from absolute positions,
// whose creation order is not the order the user reads it in.
void setReadingTabOrder(QWidget* window);

// Gives the focus to the first control of a panel that can take it (in reading order); false
// when there is none.
bool focusFirstField(QWidget* panel);

} // namespace kestrana
