#pragma once

#include "envelope/GroupMail.h"

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace kestrana {

class Dialogs;
class Prompts;

// "Wyślij e-mail do listy…": the addresses of the current list with what was left out, handed
// to the mail client a group of blind copies at a time, copied to the clipboard or saved.
class GroupMailWindow : public QDialog {
    Q_OBJECT

public:
    // Hands a mailto: address to the desktop's mail client; false when there is none.
    using MailOpener = std::function<bool(const QUrl&)>;
    GroupMailWindow(const groupmail::Collector& collected, Prompts& prompts, Dialogs& dialogs,
                    MailOpener openMail, QString folder, QWidget* parent = nullptr);

    // The buttons' work, reachable by tests.
    void openNextGroup();
    void copyToClipboard();
    void saveToFile();
    int nextGroup() const { return next_; }

private:
    QList<QStringList> groups() const;
    void showNextGroup();

    QStringList addresses_;
    Prompts& prompts_;
    Dialogs& dialogs_;
    MailOpener openMail_;
    QString folder_;
    int next_ = 0; // the group the mail button opens next
    QSpinBox* groupSize_ = nullptr;
    QPushButton* open_ = nullptr;
};

} // namespace kestrana
