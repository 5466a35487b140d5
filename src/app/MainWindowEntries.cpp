// The main window as the editing session's view: the form, the list and its selection.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "platform/IoError.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalBlocker>

namespace kestrana {

EntryFormValues Tbaza_f::formValues() const {
    EntryFormValues values;
    for (int i = 0; i < kTextFieldCount; ++i)
        values.texts[i] = fields_[i]->text();
    values.umowa = umowa_->isChecked();
    for (int i = 0; i < kCategoryCount; ++i)
        values.k[i] = k_[i]->isChecked();
    for (int i = 0; i < kGroupCount; ++i)
        values.z[i] = z_[i]->isChecked();
    return values;
}

void Tbaza_f::showForm(const EntryFormValues& values) {
    for (int i = 0; i < kTextFieldCount; ++i)
        fields_[i]->setText(values.texts[i]);
    umowa_->setChecked(values.umowa);
    for (int i = 0; i < kCategoryCount; ++i)
        k_[i]->setChecked(values.k[i]);
    for (int i = 0; i < kGroupCount; ++i)
        z_[i]->setChecked(values.z[i]);
}

void Tbaza_f::showList(const EntryList& list) {
    {
        const QSignalBlocker blocker(ui->lista);
        ui->lista->showList(&list);
        if (list.count() > 0)
            ui->lista->setCurrentRow(0);
    }
    ui->Label46->setText(QStringLiteral(" %1 poz").arg(list.count()));
}

int Tbaza_f::selectedRow() const {
    return ui->lista->currentRow();
}

void Tbaza_f::selectRow(int row) {
    const QSignalBlocker blocker(ui->lista);
    ui->lista->setCurrentRow(row);
}

void Tbaza_f::showAddMode(bool on) {
    ui->SpeedButton15->setText(on ? QStringLiteral("Zan&iechaj") : QStringLiteral("Dodaj wp&is"));
}

void Tbaza_f::showContractPicture(const QByteArray& picture) {
    QPixmap pixmap;
    pixmap.loadFromData(picture);
    ui->Image1->setPixmap(pixmap);
}

void Tbaza_f::setViewMode(ViewMode mode) {
    session_->changeView(mode);
    for (const auto& [action, m] : viewActions())
        action->setChecked(m == mode);
}

void Tbaza_f::toggleAddMode() {
    session_->toggleAddMode();
    // The list is disabled at once, not only at the timer's next step.
    if (session_->addMode())
        updateStatus();
}

void Tbaza_f::openIdCounter() {
    if (takeover_.active() || !session_->requireBoss())
        return;
    ui->aktualny_id->clear();
    const std::optional<qint32> counter = session_->idCounter();
    if (!counter)
        return;
    ui->aktualny_id->setText(QString::number(*counter));
    openPanel(ui->Panel3);
}

void Tbaza_f::storeIdCounter() {
    if (takeover_.panel() == ui->Panel3 && session_->storeIdCounter(ui->aktualny_id->text()))
        closePanel();
}

void Tbaza_f::chooseSortField(SortField field) {
    session_->chooseSortField(field);
    const std::array<QAction*, 4> items = {ui->s1, ui->s2, ui->s3, ui->s4};
    for (QAction* action : items)
        action->setChecked(false);
    items[static_cast<int>(field) - 1]->setChecked(true);
}

void Tbaza_f::search() {
    if (!session_->search(ui->coszukac->text()))
        ui->coszukac->clear();
}

} // namespace kestrana
