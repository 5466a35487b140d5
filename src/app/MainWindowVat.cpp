// The VAT register on the main window: the form's NIP looked up, its account checked.
#include "app/MainWindow.h"
#include "app/ui_Tbaza_f.h"
#include "vat/VatClient.h"
#include "vat/VatTakeOver.h"

#include <QApplication>
#include <QProgressDialog>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

// The window shown while the register is asked: "Anuluj" stops the request, the busy cursor
// lasts until the request ends (or the window goes with the main window).
class VatProgress : public QProgressDialog {
public:
    VatProgress(const QString& text, QWidget* parent)
        : QProgressDialog(text, u"Anuluj"_s, 0, 0, parent) {
        setObjectName(u"vatPostep"_s);
        setWindowTitle(u"Wykaz podatników VAT"_s);
        setWindowModality(Qt::WindowModal);
        setMinimumDuration(0);
        setAutoClose(false);
        setAutoReset(false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~VatProgress() override { end(); }

    void end() {
        if (cursor_)
            QApplication::restoreOverrideCursor();
        cursor_ = false;
        hide();
    }

private:
    bool cursor_ = true;
};

void showFailure(Prompts& prompts, const vat::Failure& failure) {
    switch (failure.kind) {
    case vat::Failure::Cancelled:
        return;
    case vat::Failure::NotFound:
        prompts.information(failure.message);
        return;
    case vat::Failure::Failed:
        prompts.error(failure.message);
        return;
    }
}

} // namespace

void Tbaza_f::wireVat() {
    vatClient_ = new vat::Client(this);
    connect(ui->vatLookup, &QAbstractButton::clicked, this, &Tbaza_f::lookUpVat);
    connect(ui->vatAccountCheck, &QAbstractButton::clicked, this, &Tbaza_f::checkVatAccount);
}

void Tbaza_f::showVatProgress(const QString& text) {
    vatProgress_ = new VatProgress(text, this);
    connect(vatProgress_, &QProgressDialog::canceled, vatClient_, &vat::Client::cancel);
    vatProgress_->open();
}

void Tbaza_f::endVatProgress() {
    if (!vatProgress_)
        return;
    // The answer may come from inside the window's own "Anuluj": it goes once that is done.
    static_cast<VatProgress*>(vatProgress_)->end();
    vatProgress_->deleteLater();
    vatProgress_ = nullptr;
}

void Tbaza_f::lookUpVat() {
    if (vatClient_->busy())
        return;
    const vat::Checked nip = vat::checkNip(ui->nip->text());
    if (!nip.problem.isEmpty()) {
        context_.prompts.information(nip.problem);
        return;
    }
    showVatProgress(u"Pobieranie danych z wykazu podatników VAT…"_s);
    vatClient_->search(nip.digits, todayString(context_.clock.today()),
                       [this](const vat::Outcome<vat::SearchResult>& outcome) {
                           endVatProgress();
                           if (const auto* failure = std::get_if<vat::Failure>(&outcome)) {
                               showFailure(context_.prompts, *failure);
                               return;
                           }
                           const auto& found = std::get<vat::SearchResult>(outcome);
                           const vat::Offer offer = vat::offer(found, ui->konto->text());
                           const std::optional<TakeOverAnswer> answer =
                               context_.dialogs.chooseTakeOver(vat::takeOverCaption(),
                                                               vat::describe(found).join(u'\n'),
                                                               offer.items);
                           if (!answer)
                               return;
                           // Into the form only: "Zapisz dane" saves it like anything typed.
                           for (const auto& [field, text] : vat::takeOver(found, offer, *answer))
                               fields_[static_cast<int>(field)]->setText(text);
                       });
}

void Tbaza_f::checkVatAccount() {
    if (vatClient_->busy())
        return;
    const vat::Checked nip = vat::checkNip(ui->nip->text());
    const vat::Checked account = vat::checkAccount(ui->konto->text());
    for (const vat::Checked* checked : {&nip, &account}) {
        if (!checked->problem.isEmpty()) {
            context_.prompts.information(checked->problem);
            return;
        }
    }
    showVatProgress(u"Sprawdzanie konta w wykazie podatników VAT…"_s);
    vatClient_->check(
        nip.digits, account.digits, todayString(context_.clock.today()),
        [this, nip = nip.digits,
         nrb = account.digits](const vat::Outcome<vat::CheckResult>& outcome) {
            endVatProgress();
            if (const auto* failure = std::get_if<vat::Failure>(&outcome)) {
                showFailure(context_.prompts, *failure);
                return;
            }
            context_.prompts.information(
                vat::describe(std::get<vat::CheckResult>(outcome), nip, nrb).join(u'\n'));
        });
}

} // namespace kestrana
