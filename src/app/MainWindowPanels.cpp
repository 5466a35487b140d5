// The panels that take over the main window (description, filter, definable printout), the
// printouts and the address helpers.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "cash/CompanyDataDialog.h"
#include "platform/IoError.h"
#include "platform/ShortText.h"
#include "platform/TabOrder.h"
#include "platform/TextFile.h"
#include "print/TextPrintout.h"
#include "reports/DefinablePrintout.h"
#include "reports/Descriptions.h"
#include "reports/DetailedPrintout.h"
#include "reports/EntryFilter.h"
#include "reports/EntrySheet.h"
#include "reports/FilterText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <memory>

namespace kestrana {

void Tbaza_f::openDescription() {
    if (takeover_.active())
        return;
    const QString id = fields_[static_cast<int>(Field::id)]->text();
    if (descriptions::path(ws_, id).isEmpty()) {
        context_.prompts.information(
            QStringLiteral("Wpis ma nieprawidłowy numer ID „%1”, więc nie może mieć opisu.")
                .arg(id));
        return;
    }
    ui->Panel11->setGeometry(8, 8, 984, 644);
    ui->Label33->setText(fields_[static_cast<int>(Field::nazwa1)]->text());
    ui->Label34->setText(fields_[static_cast<int>(Field::numer)]->text());
    ui->Memo1->clear();
    try {
        const QStringList lines = descriptions::read(ws_, id);
        // Each stored line ends with a break, so an empty last line survives a round trip.
        ui->Memo1->setPlainText(
            lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    } catch (const IoError& error) {
        showIoError(error); // an unreadable description is never opened, so never overwritten
        return;
    }
    // The text belongs to the entry shown now, whatever the form shows when the panel closes.
    descriptionId_ = id;
    openPanel(ui->Panel11);
}

void Tbaza_f::closeDescription() {
    if (takeover_.panel() != ui->Panel11)
        return;
    try {
        descriptions::store(ws_, descriptionId_, textfile::splitLines(ui->Memo1->toPlainText()));
    } catch (const IoError& error) {
        showIoError(error); // the panel stays open
        return;
    }
    closePanel();
}

void Tbaza_f::openPanel(QWidget* panel) {
    takeover_.begin(*this, panel);
    panel->show();
    panel->raise();
    focusFirstField(panel);
}

void Tbaza_f::closePanel() {
    QWidget* panel = takeover_.panel();
    takeover_.end();
    if (panel)
        panel->hide();
}

void Tbaza_f::openFilter() {
    if (takeover_.active())
        return;
    session_->openFilter();
    ui->Panel12->setGeometry(160, 48, 655, 489);
    openPanel(ui->Panel12);
}

FilterCriteria Tbaza_f::filterCriteria() const {
    FilterCriteria c;
    c.kod_s = ui->kod_s->text();
    c.nazwa1_s = ui->nazwa1_s->text();
    c.nazwa2_s = ui->nazwa2_s->text();
    c.miejscowosc_s = ui->miejscowosc_s->text();
    c.adres_s = ui->adres_s->text();
    c.wojewodztwo_s = ui->wojewodztwo_s->text();
    c.telefon_s = ui->telefon_s->text();
    c.mail_s = ui->mail_s->text();
    c.opis_s = ui->opis_s->text();
    for (int n = 1; n <= kFilterCategoryCount; ++n)
        c.kat[n - 1] = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n))->isChecked();
    for (int n = 1; n <= kFilterGroupCount; ++n)
        c.zaw[n - 1] = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n))->isChecked();
    c.um = ui->um2->isChecked()   ? ContractState::Signed
           : ui->um3->isChecked() ? ContractState::Terminated
                                  : ContractState::All;
    c.da1 = ui->da1->isChecked();
    c.oddaty_k = ui->oddaty_k->text();
    c.dodaty_k = ui->dodaty_k->text();
    return c;
}

void Tbaza_f::buildFromFilter(bool filtered) {
    if (takeover_.panel() != ui->Panel12)
        return;
    closePanel();
    EntrySession::FilterFactory makeFilter;
    const FilterCriteria criteria = filterCriteria();
    auto skipped = std::make_shared<QStringList>();
    if (filtered)
        makeFilter = [this, criteria, skipped] {
            return makeEntryFilter(criteria, ws_,
                                   [skipped](const QString& text) { skipped->append(text); });
        };
    session_->buildFromFilter(makeFilter);
    // Entries passed over because their description could not be read: told once, after the
    // list is shown.
    if (!skipped->isEmpty())
        context_.prompts.error(shortenedText(skipped->join(QLatin1Char('\n'))));
    // A text the register cannot hold has emptied the list: the user is told why.
    if (filtered) {
        const QString problem = unencodableFilterMessage(unencodableFilterTexts(criteria), false);
        if (!problem.isEmpty())
            context_.prompts.information(problem);
    }
}

void Tbaza_f::printList() {
    if (session_->list().count() == 0)
        return;
    try {
        runDetailedPrintout(context_.dialogs, context_.fonts, *register_);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::openDefinablePrintout() {
    if (takeover_.active() || session_->list().count() == 0)
        return;
    ui->dr1->setChecked(true);
    ui->tytul->clear();
    for (int box = 1; box <= kDefinableBoxCount; ++box) {
        auto* pole = findChild<QComboBox*>(QStringLiteral("pole%1").arg(box));
        pole->setEnabled(true);
        pole->setInsertPolicy(QComboBox::NoInsert);
        pole->clear();
        pole->addItems(definableFieldChoices());
        pole->setEditText(QString());
    }
    ui->Panel22->setGeometry(146, 116, 665, 450);
    openPanel(ui->Panel22);
}

void Tbaza_f::printDefinable() {
    DefinableSettings settings;
    for (int box = 1; box <= kDefinableBoxCount; ++box)
        settings.pole[box - 1] =
            findChild<QComboBox*>(QStringLiteral("pole%1").arg(box))->currentText();
    settings.tytul = ui->tytul->text();
    settings.form = ui->dr2->isChecked() ? RowForm::OneLine : RowForm::ThreeLines;
    try {
        runDefinablePrintout(context_.dialogs, context_.fonts, *register_, settings);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::closeDefinablePrintout() {
    if (takeover_.panel() == ui->Panel22)
        closePanel();
}

void Tbaza_f::printEntry() {
    try {
        runEntrySheetPrintout(context_.dialogs, context_.fonts, formValues());
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::exportEntry() {
    try {
        exportEntrySheet(context_.dialogs, formValues(), ws_.workDir);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::printDescription() {
    try {
        // The heading is the name line as it was when the panel was opened.
        runDescriptionPrintout(context_.dialogs, context_.fonts, ui->Label33->text(),
                               textfile::splitLines(ui->Memo1->toPlainText()));
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::editCompanyData() {
    if (!session_->requireBoss())
        return;
    CompanyDataDialog dialog(ws_, context_.prompts, this);
    if (dialog.exec() == QDialog::Accepted)
        ws_.firma = dialog.stored();
}

void Tbaza_f::pasteSeatAddress() {
    EntryFormValues values = formValues();
    copySeatToCorrespondence(values);
    showForm(values);
}

void Tbaza_f::openVoivodeships(AddressBlock block) {
    if (takeover_.active())
        return;
    voivodeships_.open(block);
    ui->Panel17->setGeometry(VoivodeshipChooser::panelGeometry());
    ui->listaw->clear();
    // The chooser gives them in Polish order; the widget's own sorting knows no Polish.
    ui->listaw->setSortingEnabled(false);
    ui->listaw->addItems(voivodeships_.items());
    openPanel(ui->Panel17);
}

void Tbaza_f::chooseVoivodeship() {
    QListWidgetItem* item = ui->listaw->currentItem();
    EntryFormValues values = formValues();
    if (!voivodeships_.choose(item ? item->text() : QString(), values))
        return;
    showForm(values);
    closePanel();
}

void Tbaza_f::startMail(AddressBlock block) {
    const EntryFormValues form = formValues();
    const QString address = block == AddressBlock::Contact ? form[Field::mailo] : form[Field::mail];
    const commands::CommandLine line = commands::mailProgram(address);
    if (line.isEmpty())
        return;
    const commands::StartOutcome outcome = startProgram_(line, ws_.baseDir);
    if (outcome == commands::StartOutcome::Started)
        return;
    // Without the office's mail program the desktop's own mail client writes the message.
    const QUrl mailto = commands::mailtoUrl(address);
    if (!mailto.isEmpty() && openMail_(mailto))
        return;
    context_.prompts.information(commands::notStartedMessage(line, outcome) +
                                 QStringLiteral("\nPulpit nie ma też ustawionego programu "
                                                "pocztowego dla adresu %1.")
                                     .arg(address));
}

void Tbaza_f::runProgram(const commands::CommandLine& line, const QString& workDir) {
    const commands::StartOutcome outcome = startProgram_(line, workDir);
    if (outcome != commands::StartOutcome::Started)
        context_.prompts.information(commands::notStartedMessage(line, outcome));
}

} // namespace kestrana
