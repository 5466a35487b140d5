// The main window's CSV menu items: export of the current list and import of new entries.
#include "app/MainWindow.h"

#include "exchange/CsvExport.h"
#include "exchange/CsvImport.h"
#include "platform/IoError.h"

#include <QFileInfo>

namespace kestrana {

namespace {

const QString kCsvFilter = QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)");
// The import's message lists this many skipped rows at most; the rest are only counted.
constexpr int kShownReasons = 20;

} // namespace

void Tbaza_f::exportCsv() {
    QString path = context_.dialogs.saveFileName(QStringLiteral("Eksport listy do CSV"),
                                                 ws_.workDir, kCsvFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    qint64 count = 0;
    try {
        count = csv::exportCurrentList(ws_, path);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    context_.prompts.information(
        QStringLiteral("Zapisano %1 do pliku %2.")
            .arg(csv::countText(count, QStringLiteral("wpis"), QStringLiteral("wpisy"),
                                QStringLiteral("wpisów")),
                 path));
}

void Tbaza_f::importCsv() {
    if (!session_->requireBoss())
        return;
    const QString path =
        context_.dialogs.openFileName(QStringLiteral("Import z CSV"), ws_.workDir, kCsvFilter);
    if (path.isEmpty())
        return;
    csv::ImportReport report;
    try {
        report = csv::importFile(ws_, path);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    context_.prompts.information(csv::importSummary(report, kShownReasons));
    if (report.added == 0)
        return;
    // The new entries are at the end of the main file: show the first of them.
    session_->showEntryAt(report.firstPosition);
}

} // namespace kestrana
