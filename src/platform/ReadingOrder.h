#pragma once

#include <QList>
#include <QRect>

namespace kestrana {

// One control of a window as the reading order sees it: where it lies among its siblings, and
// whether it is a visible frame that holds controls of its own (a panel, a group box).
struct ReadingPlace {
    QRect rect;
    bool holdsControls = false;
};

// The order in which a reader takes in sibling controls: row by row from the top, each row from
// the left. A control belongs to the row of the first control above it whose height it reaches
// into with its middle, so a tall frame on the right and the column of fields beside it form
// one row, read column by column. A control that lies inside a frame it is not a child of (a
// button drawn over a panel) is read right after that frame. Returns indexes into `places`.
QList<int> readingOrder(const QList<ReadingPlace>& places);

} // namespace kestrana
