#pragma once

#include "platform/Prompts.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"

#include <QDialog>

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class CompanyDataDialog;
}

namespace kestrana {

// "Dane firmy": the office's own company data, six lines of at most 50 characters, stored in
// ADMINI/firma.dat. Reserved to the boss: the opener checks the level first.
class CompanyDataDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the stored lines (an error is shown and the lines stay empty when the file cannot
    // be read).
    CompanyDataDialog(const Workstation& ws, Prompts& prompts, QWidget* parent = nullptr);
    ~CompanyDataDialog() override;

    // The lines as typed.
    CompanyRecord typed() const;
    // "Zapisz": refuses a line that is too long or has a character the file cannot hold (the
    // dialog stays open with the line selected), otherwise replaces the file and closes with
    // Accepted. False when nothing was stored.
    bool save();
    // What the file holds after a successful save(): the main window takes it over in memory.
    const CompanyRecord& stored() const { return stored_; }

    QLineEdit* line(int index) const { return lines_[index]; }

private:
    std::unique_ptr<Ui::CompanyDataDialog> ui;
    const Workstation& ws_;
    Prompts& prompts_;
    std::array<QLineEdit*, 6> lines_{};
    CompanyRecord stored_;
};

} // namespace kestrana
