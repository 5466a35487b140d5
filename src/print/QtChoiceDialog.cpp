// The decision window of Dialogs::choose: the summary, the details in a scrollable read-only
// box, and one button per choice.
#include "print/QtDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrana {

int QtDialogs::chooseItem(const QString& caption, const QString& text, const QStringList& items) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent_, caption, text, items, 0, false, &ok);
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

int QtDialogs::choose(const QString& caption, const QString& summary, const QString& details,
                      const QStringList& buttons) {
    const int cancel = static_cast<int>(buttons.size()) - 1;
    QDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(summary, &dialog);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    if (!details.isEmpty()) {
        auto* list = new QPlainTextEdit(details, &dialog);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setMinimumSize(640, 260);
        layout->addWidget(list, 1);
    }
    auto* box = new QDialogButtonBox(&dialog);
    int chosen = cancel;
    QPushButton* cancelButton = nullptr;
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box->addButton(
            buttons[i], i == cancel ? QDialogButtonBox::RejectRole : QDialogButtonBox::AcceptRole);
        button->setAutoDefault(false);
        if (i == cancel)
            cancelButton = button;
        QObject::connect(button, &QPushButton::clicked, &dialog, [&chosen, &dialog, i, cancel] {
            chosen = i;
            if (i == cancel)
                dialog.reject();
            else
                dialog.accept();
        });
    }
    layout->addWidget(box);
    // Nothing is decided by pressing Enter by accident: the cancelling button has the focus.
    if (cancelButton) {
        cancelButton->setDefault(true);
        cancelButton->setFocus();
    }
    if (dialog.exec() != QDialog::Accepted)
        return cancel;
    return chosen;
}

} // namespace kestrana
