#include "platform/QtPrompts.h"

#include <QMessageBox>
#include <QPushButton>

namespace kestrana {

bool QtPrompts::question(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("&Tak"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&Nie"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void QtPrompts::information(const QString& text) {
    QMessageBox box(QMessageBox::Information, captionInformation(), text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, captionError(), text, QMessageBox::Ok, parent_);
    box.exec();
}

} // namespace kestrana
