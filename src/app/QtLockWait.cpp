#include "app/QtLockWait.h"

#include <QApplication>

namespace kestrana {

std::function<void(bool)> busyCursor() {
    return [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
}

} // namespace kestrana
