#include "platform/TabOrder.h"

#include "platform/ReadingOrder.h"

#include <QAbstractScrollArea>
#include <QScrollArea>
#include <QWidget>

namespace kestrana {

namespace {

bool takesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QList<QWidget*> childWidgets(QWidget* parent) {
    QList<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* w = qobject_cast<QWidget*>(object);
        if (w && !w->isWindow())
            children.append(w);
    }
    return children;
}

bool holdsTabStops(QWidget* w);

// The controls whose tab stops are part of `w`'s own: a scroll area lends its content.
QList<QWidget*> inner(QWidget* w) {
    if (auto* area = qobject_cast<QScrollArea*>(w))
        return area->widget() ? QList<QWidget*>{area->widget()} : QList<QWidget*>{};
    // A control's inner parts (a list's viewport, a box's line edit) are its own business.
    if (takesTab(w) || qobject_cast<QAbstractScrollArea*>(w))
        return {};
    return childWidgets(w);
}

bool holdsTabStops(QWidget* w) {
    for (QWidget* child : inner(w)) {
        if (takesTab(child) || holdsTabStops(child))
            return true;
    }
    return false;
}

void collect(QWidget* parent, QList<QWidget*>& stops) {
    const QList<QWidget*> children = inner(parent);
    QList<ReadingPlace> places;
    for (QWidget* child : children)
        places.append({child->geometry(), !child->isHidden() && holdsTabStops(child)});
    for (const int i : readingOrder(places)) {
        QWidget* child = children[i];
        if (takesTab(child) && !qobject_cast<QScrollArea*>(child))
            stops.append(child);
        collect(child, stops);
    }
}

} // namespace

QList<QWidget*> readingTabStops(QWidget* root) {
    QList<QWidget*> stops;
    collect(root, stops);
    return stops;
}

void setReadingTabOrder(QWidget* window) {
    // A scroll area is no stop of its own: its fields are, and each scrolls into view when it
    // takes the focus.
    for (QScrollArea* area : window->findChildren<QScrollArea*>())
        area->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> stops = readingTabStops(window);
    for (qsizetype i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

bool focusFirstField(QWidget* panel) {
    for (QWidget* w : readingTabStops(panel)) {
        if (w->isVisibleTo(panel) && w->isEnabledTo(panel)) {
            w->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace kestrana
