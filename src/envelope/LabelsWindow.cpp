#include "envelope/LabelsWindow.h"

#include "envelope/LabelLayout.h"
#include "envelope/SerialEnvelopes.h"
#include "platform/IoError.h"
#include "platform/Prompts.h"
#include "print/Dialogs.h"
#include "print/PrintRun.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kestrana {

namespace {

QPushButton* button(QDialogButtonBox* box, const QString& text, const char* name,
                    QDialogButtonBox::ButtonRole role = QDialogButtonBox::ActionRole) {
    QPushButton* b = box->addButton(text, role);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

LabelsWindow::LabelsWindow(Place place, Prompts& prompts, Dialogs& dialogs, FontSettings& fonts,
                           QWidget* parent)
    : QDialog(parent), place_(std::move(place)), prompts_(prompts), dialogs_(dialogs),
      fonts_(fonts) {
    setObjectName(QStringLiteral("LabelsWindow"));
    setWindowTitle(QStringLiteral("Etykiety adresowe"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    arkusz_ = new QComboBox(this);
    arkusz_->setObjectName(QStringLiteral("arkusz"));
    form->addRow(QStringLiteral("&Arkusz etykiet:"), arkusz_);
    blok_ = new QComboBox(this);
    blok_->setObjectName(QStringLiteral("blok"));
    blok_->addItems({QStringLiteral("Siedziba firmy"), QStringLiteral("Dane do korespondencji"),
                     QStringLiteral("Osoba odpowiedzialna za kontakt")});
    form->addRow(QStringLiteral("A&dres:"), blok_);
    start_ = new QSpinBox(this);
    start_->setObjectName(QStringLiteral("start"));
    form->addRow(QStringLiteral("&Zacznij od etykiety nr:"), start_);
    layout->addLayout(form);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("liczba"));
    layout->addWidget(count_);

    auto* sizes = new QGroupBox(QStringLiteral("Wymiary arkusza A4 (mm)"), this);
    auto* grid = new QGridLayout(sizes);
    name_ = new QLineEdit(sizes);
    name_->setObjectName(QStringLiteral("nazwa"));
    columns_ = new QSpinBox(sizes);
    columns_->setObjectName(QStringLiteral("kolumny"));
    columns_->setRange(1, 20);
    rows_ = new QSpinBox(sizes);
    rows_->setObjectName(QStringLiteral("wiersze"));
    rows_->setRange(1, 40);
    grid->addWidget(new QLabel(QStringLiteral("Nazwa:"), sizes), 0, 0);
    grid->addWidget(name_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Kolumny:"), sizes), 1, 0);
    grid->addWidget(columns_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Wiersze:"), sizes), 1, 2);
    grid->addWidget(rows_, 1, 3);
    const QStringList captions = {
        QStringLiteral("Szerokość etykiety:"), QStringLiteral("Wysokość etykiety:"),
        QStringLiteral("Margines górny:"),     QStringLiteral("Margines lewy:"),
        QStringLiteral("Odstęp w poziomie:"),  QStringLiteral("Odstęp w pionie:")};
    for (int i = 0; i < 6; ++i) {
        lengths_[size_t(i)] = new QLineEdit(sizes);
        lengths_[size_t(i)]->setObjectName(QStringLiteral("wymiar%1").arg(i + 1));
        grid->addWidget(new QLabel(captions[i], sizes), 2 + i / 2, (i % 2) * 2);
        grid->addWidget(lengths_[size_t(i)], 2 + i / 2, (i % 2) * 2 + 1);
    }
    auto* sheetButtons = new QDialogButtonBox(sizes);
    connect(button(sheetButtons, QStringLiteral("Zapisz jako arkusz &stanowiska"), "zapiszArkusz"),
            &QPushButton::clicked, this, &LabelsWindow::saveSheet);
    connect(button(sheetButtons, QStringLiteral("&Usuń arkusz stanowiska"), "usunArkusz"),
            &QPushButton::clicked, this, &LabelsWindow::removeSheet);
    grid->addWidget(sheetButtons, 5, 0, 1, 4);
    layout->addWidget(sizes);

    auto* buttons = new QDialogButtonBox(this);
    connect(button(buttons, QStringLiteral("&Drukuj"), "drukuj"), &QPushButton::clicked, this,
            &LabelsWindow::print);
    connect(button(buttons, QStringLiteral("&Podgląd"), "podglad"), &QPushButton::clicked, this,
            &LabelsWindow::preview);
    connect(button(buttons, QStringLiteral("Strona &próbna"), "probna"), &QPushButton::clicked,
            this, &LabelsWindow::printTestPage);
    button(buttons, QStringLiteral("Zamknij"), "zamknij", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(arkusz_, &QComboBox::currentIndexChanged, this, &LabelsWindow::chooseSheet);
    connect(blok_, &QComboBox::currentIndexChanged, this, &LabelsWindow::updateCount);
    connect(start_, &QSpinBox::valueChanged, this, &LabelsWindow::updateCount);
    loadSheets(standardSheets().front().name);
}

void LabelsWindow::loadSheets(const QString& select) {
    sheets_ = standardSheets();
    try {
        sheets_ += readUserSheets(place_.workDir);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
    const QSignalBlocker blocker(arkusz_);
    arkusz_->clear();
    int selected = 0;
    for (qsizetype i = 0; i < sheets_.size(); ++i) {
        arkusz_->addItem(sheets_[i].name + QStringLiteral(" — ") + sheets_[i].description());
        if (sheets_[i].name == select)
            selected = int(i);
    }
    arkusz_->setCurrentIndex(selected);
    chooseSheet(selected);
}

void LabelsWindow::chooseSheet(int index) {
    const LabelSheet sheet = sheets_.value(index);
    name_->setText(sheet.name);
    columns_->setValue(sheet.columns);
    rows_->setValue(sheet.rows);
    const int values[] = {sheet.labelWidth, sheet.labelHeight, sheet.top,
                          sheet.left,       sheet.gapX,        sheet.gapY};
    for (size_t i = 0; i < lengths_.size(); ++i)
        lengths_[i]->setText(millimetresText(values[i]));
    start_->setRange(1, std::max(sheet.capacity(), 1));
    updateCount();
}

LabelOptions LabelsWindow::options() const {
    return {sheets_.value(arkusz_->currentIndex()),
            static_cast<AddressBlock>(blok_->currentIndex() + 1), start_->value()};
}

QString LabelsWindow::countText() const {
    return count_->text();
}

void LabelsWindow::updateCount() {
    const LabelOptions o = options();
    try {
        const SerialEnvelopeCount count = countSerialEnvelopes(place_.listFile, o.block);
        count_->setText(QStringLiteral("Etykiet: %1 (wpisów bez adresu: %2), arkuszy: %3.")
                            .arg(count.envelopes)
                            .arg(count.withoutAddress)
                            .arg(sheetsNeeded(o.sheet, count.envelopes, o.start)));
    } catch (const IoError& error) {
        count_->setText(error.text());
    }
}

bool LabelsWindow::hasLabels() {
    try {
        if (countSerialEnvelopes(place_.listFile, options().block).envelopes > 0)
            return true;
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    prompts_.information(QStringLiteral("Żaden wpis listy nie ma adresu do etykiety."));
    return false;
}

void LabelsWindow::print() {
    if (!hasLabels())
        return;
    const LabelOptions o = options();
    const auto cut = std::make_shared<qint64>(0);
    try {
        if (!runPrintout(dialogs_, fonts_, labelsPrintDocument(place_.today),
                         labelPrintout(o, listFileLabels(place_.listFile, o.block), cut)))
            return;
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return;
    }
    if (*cut > 0)
        prompts_.information(QStringLiteral("Etykiet z adresem, który się nie zmieścił: %1. "
                                            "Wybierz większe etykiety albo mniejszą czcionkę "
                                            "druku.")
                                 .arg(*cut));
}

void LabelsWindow::preview() {
    if (!hasLabels())
        return;
    const LabelOptions o = options();
    try {
        dialogs_.previewPrint(labelsPrintDocument(place_.today), [&](Surface& surface, bool) {
            runPrintout(surface, fonts_,
                        labelPrintout(o, listFileLabels(place_.listFile, o.block)));
        });
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void LabelsWindow::printTestPage() {
    try {
        runPrintout(dialogs_, fonts_, labelsPrintDocument(place_.today),
                    labelTestPage(options().sheet));
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

LabelSheet LabelsWindow::sheetFromFields(QString& problem) const {
    LabelSheet sheet;
    sheet.name = name_->text().trimmed();
    sheet.columns = columns_->value();
    sheet.rows = rows_->value();
    int* targets[] = {&sheet.labelWidth, &sheet.labelHeight, &sheet.top,
                      &sheet.left,       &sheet.gapX,        &sheet.gapY};
    for (size_t i = 0; i < lengths_.size(); ++i) {
        const std::optional<int> value = parseMillimetres(lengths_[i]->text());
        if (!value) {
            problem = QStringLiteral("Wymiar „%1” nie jest liczbą milimetrów (np. 63,5).")
                          .arg(lengths_[i]->text());
            return sheet;
        }
        *targets[i] = *value;
    }
    problem = userSheetProblem(sheet);
    return sheet;
}

void LabelsWindow::saveSheet() {
    QString problem;
    const LabelSheet sheet = sheetFromFields(problem);
    if (!problem.isEmpty()) {
        prompts_.information(problem);
        return;
    }
    try {
        QList<LabelSheet> own = readUserSheets(place_.workDir);
        own.removeIf([&](const LabelSheet& s) { return s.name == sheet.name; });
        own.append(sheet);
        storeUserSheets(place_.workDir, own);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return;
    }
    loadSheets(sheet.name);
}

void LabelsWindow::removeSheet() {
    const LabelSheet sheet = options().sheet;
    if (standardSheets().contains(sheet)) {
        prompts_.information(QStringLiteral("Arkuszy standardowych nie można usunąć."));
        return;
    }
    try {
        QList<LabelSheet> own = readUserSheets(place_.workDir);
        own.removeIf([&](const LabelSheet& s) { return s.name == sheet.name; });
        storeUserSheets(place_.workDir, own);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return;
    }
    loadSheets(standardSheets().front().name);
}

} // namespace kestrana
