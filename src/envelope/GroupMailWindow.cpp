#include "envelope/GroupMailWindow.h"

#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "platform/Prompts.h"
#include "print/Dialogs.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kestrana {

GroupMailWindow::GroupMailWindow(const groupmail::Collector& collected, Prompts& prompts,
                                 Dialogs& dialogs, MailOpener openMail, QString folder,
                                 QWidget* parent)
    : QDialog(parent), addresses_(collected.addresses()), prompts_(prompts), dialogs_(dialogs),
      openMail_(std::move(openMail)), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("GroupMailWindow"));
    setWindowTitle(QStringLiteral("Wyślij e-mail do listy"));
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(collected.summary(), this);
    summary->setObjectName(QStringLiteral("podsumowanie"));
    layout->addWidget(summary);

    auto* list = new QPlainTextEdit(QString::fromUtf8(groupmail::fileText(addresses_)), this);
    list->setObjectName(QStringLiteral("adresy"));
    list->setReadOnly(true);
    layout->addWidget(list, 3);
    if (!collected.refused().empty()) {
        QStringList lines;
        for (const groupmail::Refused& refused : collected.refused())
            lines << groupmail::refusalText(refused);
        layout->addWidget(new QLabel(QStringLiteral("Pominięte adresy:"), this));
        auto* refused = new QPlainTextEdit(lines.join(QLatin1Char('\n')), this);
        refused->setObjectName(QStringLiteral("odrzucone"));
        refused->setReadOnly(true);
        layout->addWidget(refused, 1);
    }

    auto* form = new QFormLayout;
    groupSize_ = new QSpinBox(this);
    groupSize_->setObjectName(QStringLiteral("wGrupie"));
    groupSize_->setRange(1, groupmail::kMaxGroupSize);
    groupSize_->setValue(groupmail::kDefaultGroupSize);
    form->addRow(QStringLiteral("Adresów w jednej wiadomości (UDW):"), groupSize_);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    open_->setObjectName(QStringLiteral("otworz"));
    auto* copy =
        buttons->addButton(QStringLiteral("&Kopiuj do schowka"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("kopiuj"));
    auto* save =
        buttons->addButton(QStringLiteral("&Zapisz do pliku…"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("zapisz"));
    buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    const bool any = !addresses_.isEmpty();
    open_->setEnabled(any);
    copy->setEnabled(any);
    save->setEnabled(any);

    connect(open_, &QPushButton::clicked, this, &GroupMailWindow::openNextGroup);
    connect(copy, &QPushButton::clicked, this, &GroupMailWindow::copyToClipboard);
    connect(save, &QPushButton::clicked, this, &GroupMailWindow::saveToFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A new size starts the groups again from the first.
    connect(groupSize_, &QSpinBox::valueChanged, this, [this] {
        next_ = 0;
        showNextGroup();
    });
    showNextGroup();
    resize(640, 480);
}

QList<QStringList> GroupMailWindow::groups() const {
    return groupmail::groups(addresses_, groupSize_->value());
}

void GroupMailWindow::showNextGroup() {
    const qsizetype count = groups().size();
    open_->setText(count <= 1 ? QStringLiteral("&Otwórz w programie pocztowym")
                              : QStringLiteral("&Otwórz w programie pocztowym (grupa %1 z %2)")
                                    .arg(next_ + 1)
                                    .arg(count));
}

void GroupMailWindow::openNextGroup() {
    const QList<QStringList> all = groups();
    if (all.isEmpty())
        return;
    const QUrl url = QUrl::fromEncoded(groupmail::mailtoBcc(all.value(next_)), QUrl::StrictMode);
    if (!openMail_ || !openMail_(url)) {
        prompts_.error(QStringLiteral("Nie udało się otworzyć programu pocztowego. Skopiuj "
                                      "adresy do schowka albo zapisz je do pliku."));
        return;
    }
    next_ = (next_ + 1) % int(all.size());
    showNextGroup();
}

void GroupMailWindow::copyToClipboard() {
    QGuiApplication::clipboard()->setText(groupmail::clipboardText(addresses_));
}

void GroupMailWindow::saveToFile() {
    QString path =
        dialogs_.saveFileName(QStringLiteral("Zapisz adresy e-mail"), folder_,
                              QStringLiteral("Pliki tekstowe (*.txt);;Wszystkie pliki (*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    try {
        files::replaceFile(path, groupmail::fileText(addresses_));
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return;
    }
    prompts_.information(
        QStringLiteral("Zapisano adresy (%1) do pliku %2.").arg(addresses_.size()).arg(path));
}

} // namespace kestrana
