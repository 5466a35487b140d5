// The main window's start: the program's start-up, then the window filled from what it found.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "cash/CompanyData.h"
#include "platform/IoError.h"
#include "platform/Mnemonics.h"
#include "print/DefaultPrintFont.h"
#include "print/FontWindow.h"
#include "print/PreviewSetting.h"
#include "server/DatabaseRegister.h"
#include "station/ServerMode.h"
#include "station/StorageLocation.h"
#include "station/UserLevel.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

namespace kestrana {

startup::Report::Outcome Tbaza_f::startUp() {
    startup::Request request{context_.workDir, startup::bossLevel(context_.arguments),
                             todayString(context_.clock.today()), &lockWait_, context_.faults};
    request.openServer = server::openRegister;
    const startup::Report report = startup::start(request, context_.prompts);
    ws_ = report.ws;
    if (report.located)
        setWindowTitle(startup::captionForMode(ws_.tryb));
    if (report.serverMode)
        setWindowTitle(startup::captionForServerMode());
    if (!report.ready())
        return report.outcome;
    if (ws_.server) {
        // The editing session works on the register on the server from now on.
        EntryView& view = *this;
        session_.reset();
        register_ = std::make_unique<Register>(ws_);
        session_ = std::make_unique<EntrySession>(ws_, *register_, context_.prompts, view);
    }
    // Controls to their starting state: the first view, the clock, every entry listed.
    resetControls();
    ui->s1->setChecked(true);
    clockMode_ = 2;
    ui->d2->setChecked(true);
    ui->d1->setChecked(false);
    ui->Label8->setText(QStringLiteral("Wszystkie wpisy"));
    statusTimer_.start(100);
    ui->l1->setChecked(true);
    for (QAction* other : {ui->l2, ui->l3, ui->l4, ui->l5})
        other->setChecked(false);
    try {
        // The list font, from FONT/ under the working directory, where a new workstation also
        // gets its default print font.
        context_.fonts.setWorkDir(ws_.workDir);
        writeDefaultPrintFont(ws_.workDir);
        context_.fonts.CzytajFonty(ws_.listFontFileName);
        applyListFont();
    } catch (const IoError& error) {
        showIoError(error);
        return startup::Report::Outcome::Stopped;
    }
    showPreviewSetting();
    applyCategoryNames(report.names);
    // The list with its first line selected as a click; a file error ends the start here.
    if (!session_->start())
        return startup::Report::Outcome::Stopped;
    // Everything to work with.
    enableMainControls();
    startupCompleted_ = true;
    makeDailyBackup();
    offerCompanyData();
    return report.outcome;
}

void Tbaza_f::offerCompanyData() {
    try {
        if (!companydata::promptDue(ws_))
            return;
        // Marked before asking: a mark that cannot be written must not bring the question back
        // at every start.
        companydata::markPrompted(ws_);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    if (!ws_.boss) {
        context_.prompts.information(companydata::clerkNote());
        return;
    }
    if (context_.prompts.question(companydata::bossQuestion()))
        editCompanyData();
}

void Tbaza_f::resetControls() {
    ui->coszukac->clear();
    ui->Label46->clear();
    for (QMenu* menu :
         {ui->menuBaza, ui->menuEdycja, ui->menuWidok, ui->menuWydruki, ui->menuDodatki})
        menu->menuAction()->setEnabled(false);
    ui->um1->setChecked(true);
    ui->da2->setChecked(true);
    ui->oddaty_k->clear();
    ui->dodaty_k->clear();
    showForm(EntryFormValues{});
    ui->lista->showList(nullptr);
    for (QLineEdit* filterField :
         {ui->kod_s, ui->nazwa1_s, ui->nazwa2_s, ui->miejscowosc_s, ui->adres_s, ui->wojewodztwo_s,
          ui->telefon_s, ui->mail_s, ui->opis_s})
        filterField->clear();
}

void Tbaza_f::showCategoryNames(const CategoryNames& names) {
    for (int n = 1; n <= 20; ++n) {
        // The office's own names: an ampersand in one is shown, never taken as a mnemonic.
        const QString category = mnemonics::literal(names.categories[n - 1]);
        k_[n - 1]->setText(category);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n)))
            box->setText(category);
        if (n == 20)
            continue;
        const QString group = mnemonics::literal(names.groups[n - 1]);
        z_[n - 1]->setText(group);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n)))
            box->setText(group);
    }
}

void Tbaza_f::showPreviewSetting() {
    // A setting that cannot be read leaves the preview off; the start goes on.
    bool on = false;
    try {
        on = readPreviewSetting(ws_.workDir);
    } catch (const IoError& error) {
        showIoError(error);
    }
    context_.dialogs.setPreviewEnabled(on);
    ui->Podgladwydruku1->setChecked(on);
}

void Tbaza_f::setPrintPreview(bool on) {
    try {
        storePreviewSetting(ws_.workDir, on);
    } catch (const IoError& error) {
        showIoError(error);
        ui->Podgladwydruku1->setChecked(context_.dialogs.previewEnabled());
        return;
    }
    context_.dialogs.setPreviewEnabled(on);
}

void Tbaza_f::applyListFont() {
    applyFontRecord(*ui->lista, context_.fonts.record());
}

void Tbaza_f::chooseListFont() {
    if (!session_->requireBoss())
        return;
    try {
        context_.fonts.ZapiszFonty(ws_.listFontFileName, context_.dialogs);
    } catch (const IoError& error) {
        showIoError(error);
    }
    // Confirmed or cancelled, the list shows the setting the record now holds.
    applyListFont();
}

void Tbaza_f::applyCategoryNames(const CategoryNames& names) {
    showCategoryNames(names);
    for (int n = 1; n <= 20; ++n) {
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n)))
            box->setChecked(false);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n)))
            box->setChecked(false);
    }
}

void Tbaza_f::enableMainControls() {
    ui->Panel1->setEnabled(true);
    ui->Panel2->setEnabled(true);
    for (QMenu* menu :
         {ui->menuBaza, ui->menuEdycja, ui->menuWidok, ui->menuWydruki, ui->menuDodatki})
        menu->menuAction()->setEnabled(true);
    for (QWidget* button :
         std::initializer_list<QWidget*>{ui->SpeedButton18, ui->SpeedButton17, ui->SpeedButton15,
                                         ui->SpeedButton16, ui->SpeedButton19, ui->SpeedButton9,
                                         ui->SpeedButton10, ui->SpeedButton11, ui->SpeedButton12}) {
        if (!unwired_.contains(button))
            button->setEnabled(true);
    }
}

} // namespace kestrana
