#include "platform/ReadingOrder.h"

#include <algorithm>

namespace kestrana {

namespace {

// Rows from the top, each from the left; ties by height keep a column's fields in order.
QList<int> rowsOf(const QList<ReadingPlace>& places, QList<int> items) {
    // At one height the tallest leads its row, so that what stands beside it joins the row.
    std::stable_sort(items.begin(), items.end(), [&](int a, int b) {
        const QRect ra = places[a].rect;
        const QRect rb = places[b].rect;
        return ra.top() != rb.top() ? ra.top() < rb.top() : ra.height() > rb.height();
    });
    QList<int> order;
    qsizetype rowStart = 0;
    while (rowStart < items.size()) {
        const QRect leader = places[items[rowStart]].rect;
        qsizetype rowEnd = rowStart + 1;
        while (rowEnd < items.size() && places[items[rowEnd]].rect.center().y() <= leader.bottom())
            ++rowEnd;
        QList<int> row = items.mid(rowStart, rowEnd - rowStart);
        std::stable_sort(row.begin(), row.end(), [&](int a, int b) {
            const QRect ra = places[a].rect;
            const QRect rb = places[b].rect;
            return ra.left() != rb.left() ? ra.left() < rb.left() : ra.top() < rb.top();
        });
        order += row;
        rowStart = rowEnd;
    }
    return order;
}

} // namespace

QList<int> readingOrder(const QList<ReadingPlace>& places) {
    // Each control inside a frame sibling goes with the smallest such frame.
    QList<int> frameOf(places.size(), -1);
    for (int i = 0; i < places.size(); ++i) {
        for (int f = 0; f < places.size(); ++f) {
            if (f == i || !places[f].holdsControls || !places[f].rect.contains(places[i].rect))
                continue;
            // A frame inside another frame of the same size stays a row of its own.
            if (places[i].holdsControls && places[i].rect == places[f].rect)
                continue;
            const int current = frameOf[i];
            if (current < 0 || places[current].rect.contains(places[f].rect))
                frameOf[i] = f;
        }
    }
    QList<int> free;
    for (int i = 0; i < places.size(); ++i) {
        if (frameOf[i] < 0)
            free.append(i);
    }
    QList<int> order;
    const auto appendWithInside = [&](const auto& self, int item) -> void {
        order.append(item);
        QList<int> inside;
        for (int i = 0; i < places.size(); ++i) {
            if (frameOf[i] == item)
                inside.append(i);
        }
        for (const int i : rowsOf(places, inside))
            self(self, i);
    };
    for (const int item : rowsOf(places, free))
        appendWithInside(appendWithInside, item);
    return order;
}

} // namespace kestrana
