#include "platform/EscapeKey.h"

#include <QAbstractButton>
#include <QPointer>
#include <QShortcut>

namespace kestrana {

void bindEscape(QWidget* window, const QList<QWidget*>& ways) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QList<QPointer<QWidget>> targets;
    for (QWidget* way : ways)
        targets.append(way);
    QObject::connect(escape, &QShortcut::activated, window, [targets] {
        for (const QPointer<QWidget>& way : targets) {
            if (!way || !way->isVisible() || !way->isEnabled())
                continue;
            if (auto* button = qobject_cast<QAbstractButton*>(way.data()))
                button->click();
            else
                way->hide();
            return;
        }
    });
}

} // namespace kestrana
