#include "print/FontWindow.h"

#include "print/ColourValue.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace kestrana {

Tfont_f::Tfont_f(FontSettings& fonts, Dialogs& dialogs, QObject* parent)
    : QObject(parent), fonts_(fonts), FontDialog1(dialogs) {
    setObjectName(QStringLiteral("Tfont_f"));
}

void applyFontRecord(QWidget& widget, const FontRecord& record) {
    QPalette palette = widget.palette();
    const QColor colour = colour::toColor(record.colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
    widget.setFont(fontFromRecord(record, widget.font(), QApplication::font()));
}

} // namespace kestrana
