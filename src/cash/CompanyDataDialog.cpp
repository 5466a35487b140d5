#include "cash/CompanyDataDialog.h"

#include "cash/CompanyData.h"
#include "cash/ui_CompanyDataDialog.h"
#include "platform/IoError.h"

#include <QLabel>

namespace kestrana {

CompanyDataDialog::CompanyDataDialog(const Workstation& ws, Prompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CompanyDataDialog>()), ws_(ws), prompts_(prompts) {
    ui->setupUi(this);
    lines_ = {ui->firma1, ui->firma2, ui->firma3, ui->firma4, ui->firma5, ui->firma6};
    const std::array<QLabel*, 6> labels = {ui->etykieta1, ui->etykieta2, ui->etykieta3,
                                           ui->etykieta4, ui->etykieta5, ui->etykieta6};
    for (int i = 0; i < 6; ++i)
        labels[i]->setText(companydata::lineLabels()[i]);
    // No length limit on the edits: a pasted text would be cut without a word; save() says
    // what is too long instead.
    connect(ui->zapisz, &QPushButton::clicked, this, &CompanyDataDialog::save);
    connect(ui->zaniechaj, &QPushButton::clicked, this, &QDialog::reject);
    try {
        stored_ = companydata::load(ws_);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
    for (int i = 0; i < 6; ++i)
        lines_[i]->setText(stored_.lines[i]);
}

CompanyDataDialog::~CompanyDataDialog() = default;

CompanyRecord CompanyDataDialog::typed() const {
    CompanyRecord record;
    for (int i = 0; i < 6; ++i)
        record.lines[i] = lines_[i]->text();
    return record;
}

bool CompanyDataDialog::save() {
    const CompanyRecord record = typed();
    for (int i = 0; i < 6; ++i) {
        const QString problem = companydata::lineProblem(i + 1, record.lines[i]);
        if (problem.isEmpty())
            continue;
        prompts_.information(problem);
        lines_[i]->setFocus();
        lines_[i]->selectAll();
        return false;
    }
    try {
        companydata::store(ws_, record);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    stored_ = record;
    accept();
    return true;
}

} // namespace kestrana
