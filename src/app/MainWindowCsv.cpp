// The main window's spreadsheet menu items: export of the current list to CSV and XLSX, import
// of new entries from CSV after a preview, and the undoing of this workstation's last import.
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportTexts.h"
#include "exchange/LastImport.h"
#include "exchange/XlsxExport.h"
#include "platform/IoError.h"

#include <QDateTime>
#include <QFileInfo>

#include <optional>

namespace kestrana {

namespace {

const QString kCsvFilter = QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)");
const QString kXlsxFilter = QStringLiteral("Arkusze XLSX (*.xlsx);;Wszystkie pliki (*)");
const QString kImportCaption = QStringLiteral("Import z CSV");
// The preview and the messages list this many rows of each kind; the report lists them all.
constexpr int kShownRows = 500;
constexpr int kShownInMessage = 20;

QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

} // namespace

void Tbaza_f::wireCsv() {
    connect(ui->EksportCSV1, &QAction::triggered, this, &Tbaza_f::exportCsv);
    connect(ui->EksportXLSX1, &QAction::triggered, this, &Tbaza_f::exportXlsx);
    connect(ui->ImportCSV1, &QAction::triggered, this, &Tbaza_f::importCsv);
    connect(ui->CofnijImport1, &QAction::triggered, this, &Tbaza_f::undoLastImport);
}

void Tbaza_f::exportList(const QString& title, const QString& filter, const QString& suffix,
                         const std::function<qint64(const QString& path)>& write) {
    const QString chosen = context_.dialogs.saveFileName(title, ws_.workDir, filter);
    if (chosen.isEmpty())
        return;
    const QString path = withSuffix(chosen, suffix);
    qint64 count = 0;
    try {
        count = write(path);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    context_.prompts.information(
        QStringLiteral("Zapisano %1 do pliku %2.").arg(csv::entryCount(count), path));
}

// Both exports read the list this window built last, not what another program made of the
// shared file.
void Tbaza_f::exportCsv() {
    exportList(QStringLiteral("Eksport listy do CSV"), kCsvFilter, QStringLiteral("csv"),
               [this](const QString& path) {
                   return csv::exportListFile(register_->listSource(),
                                              csv::currentCategoryNames(ws_), path, ws_.faults);
               });
}

void Tbaza_f::exportXlsx() {
    exportList(QStringLiteral("Eksport listy do arkusza (XLSX)"), kXlsxFilter,
               QStringLiteral("xlsx"), [this](const QString& path) {
                   return xlsx::exportListFile(register_->listSource(),
                                               csv::currentCategoryNames(ws_), path, ws_.faults);
               });
}

void Tbaza_f::importCsv() {
    if (!session_->requireBoss())
        return;
    const QString path = context_.dialogs.openFileName(kImportCaption, ws_.workDir, kCsvFilter);
    if (path.isEmpty())
        return;
    csv::ImportPlan plan;
    try {
        plan = csv::planImport(ws_, path);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    if (!plan.refusal.isEmpty()) {
        context_.prompts.information(plan.refusal);
        return;
    }
    if (plan.rows.empty()) {
        context_.prompts.information(QStringLiteral("Plik nie ma wierszy, które można dodać.\n") +
                                     csv::planSummary(plan) + QStringLiteral("\n\n") +
                                     csv::planDetails(plan, kShownInMessage));
        return;
    }
    const QStringList buttons = {QStringLiteral("Dodaj wszystkie"),
                                 QStringLiteral("Dodaj tylko nowe"), QStringLiteral("Anuluj")};
    const int choice = context_.dialogs.choose(kImportCaption, csv::planSummary(plan),
                                               csv::planDetails(plan, kShownRows), buttons);
    if (choice != 0 && choice != 1)
        return;
    csv::ImportResult result;
    try {
        result = csv::applyImport(
            ws_, plan, choice == 0 ? csv::ImportChoice::All : csv::ImportChoice::OnlyNew);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    // The entries are in: what follows can fail without taking them back.
    const QDateTime when(context_.clock.today(), context_.clock.now());
    QStringList problems;
    try {
        csv::storeLastImport(ws_, plan, result, when);
    } catch (const IoError& error) {
        problems << QStringLiteral("Nie zapisano, co dodał ten import, więc nie będzie go można "
                                   "cofnąć.\n") +
                        error.text();
    }
    QString report;
    try {
        report = csv::writeImportReport(ws_, plan, result, when);
    } catch (const IoError& error) {
        problems << QStringLiteral("Nie zapisano raportu importu.\n") + error.text();
    }
    QString summary = csv::resultSummary(result);
    if (!report.isEmpty())
        summary += QStringLiteral("\nRaport: %1").arg(report);
    context_.prompts.information(summary);
    for (const QString& problem : std::as_const(problems))
        context_.prompts.error(problem);
    if (result.added.empty())
        return;
    // The new entries are at the end of the main file: show the first of them.
    session_->showEntryAt(result.firstPosition);
}

void Tbaza_f::undoLastImport() {
    if (!session_->requireBoss())
        return;
    std::optional<csv::LastImport> last;
    try {
        last = csv::readLastImport(ws_);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    if (!last) {
        context_.prompts.information(
            QStringLiteral("Na tym stanowisku nie ma importu, który można cofnąć."));
        return;
    }
    const QString otherFolder = csv::undoRefusalForFolder(ws_, *last);
    if (!otherFolder.isEmpty()) {
        context_.prompts.information(otherFolder);
        return;
    }
    if (!context_.prompts.question(QStringLiteral("Cofnąć import pliku %1 z %2 (%3) ?")
                                       .arg(QFileInfo(last->source).fileName(),
                                            last->when.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                            csv::entryCount(last->entries.size()))))
        return;
    csv::UndoResult result;
    try {
        result = csv::undoImport(
            ws_, *last, [this](const QString& id) { return register_->store().heldByOther(id); });
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    if (!result.refusal.isEmpty()) {
        context_.prompts.information(result.refusal);
        return;
    }
    QString text =
        QStringLiteral("Usunięto %1 z ostatniego importu.").arg(csv::entryCount(result.removed));
    if (result.alreadyGone > 0)
        text +=
            QStringLiteral("\n%1 usunięto już wcześniej.").arg(csv::entryCount(result.alreadyGone));
    context_.prompts.information(text);
    session_->showListAfterRemoval();
}

} // namespace kestrana
