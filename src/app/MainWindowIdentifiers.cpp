// The marks beside NIP, PESEL, REGON and the bank account in the entry form.
#include "app/MainWindow.h"
#include "app/ui_Tbaza_f.h"
#include "register/PolishIdentifiers.h"

namespace kestrana {

namespace {

void showVerdict(QLabel& mark, const polishid::Verdict& verdict) {
    switch (verdict.state) {
    case polishid::Verdict::Empty:
        mark.clear();
        mark.setToolTip(QString());
        return;
    case polishid::Verdict::Valid:
        mark.setText(QStringLiteral("✓ poprawny"));
        mark.setStyleSheet(QStringLiteral("color: #1b7a1b;"));
        break;
    case polishid::Verdict::Invalid:
        mark.setText(QStringLiteral("✗ błędny"));
        mark.setStyleSheet(QStringLiteral("color: #b01818;"));
        break;
    }
    mark.setToolTip(verdict.reason);
}

} // namespace

void Tbaza_f::wireIdentifierMarks() {
    const std::array<std::tuple<QLineEdit*, QLabel*, polishid::Kind>, 4> marks = {{
        {ui->nip, ui->nipStan, polishid::Kind::Nip},
        {ui->pesel, ui->peselStan, polishid::Kind::Pesel},
        {ui->regon, ui->regonStan, polishid::Kind::Regon},
        {ui->konto, ui->kontoStan, polishid::Kind::Nrb},
    }};
    for (const auto& [field, mark, kind] : marks) {
        // Every change counts, typed or loaded with an entry.
        connect(field, &QLineEdit::textChanged, mark,
                [mark = mark, kind = kind](const QString& text) {
                    showVerdict(*mark, polishid::check(kind, text));
                });
    }
}

} // namespace kestrana
