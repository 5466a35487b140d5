// The main window's backups: the menu item "Kopia zapasowa" and the first start of a day.
#include "app/MainWindow.h"

#include "backup/Backup.h"
#include "backup/Restore.h"
#include "platform/IoError.h"
#include "station/ServerMode.h"

#include <QApplication>
#include <QDir>

#include <optional>

namespace kestrana {

namespace {

// A copy of a large DOKUMENTY takes a while; the window shows that it is busy.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString retentionFailure(const backup::Result& result) {
    return QStringLiteral("Kopia zapasowa została zapisana w folderze\n%1,\n"
                          "ale nie udało się usunąć starszej kopii.\n%2")
        .arg(QDir::toNativeSeparators(result.folder), result.retentionError);
}

} // namespace

void Tbaza_f::makeBackupNow() {
    std::optional<backup::Result> result;
    try {
        const BusyCursor busy;
        result = backup::makeBackup(ws_, todayString(context_.clock.today()), context_.clock.now(),
                                    backup::sourceFor(ws_));
    } catch (const IoError& error) {
        context_.prompts.error(QStringLiteral("Nie udało się wykonać kopii zapasowej.\n") +
                               error.text());
        return;
    }
    if (!result->retentionError.isEmpty()) {
        context_.prompts.error(retentionFailure(*result));
        return;
    }
    QString text = result->finishedRestore.join(QLatin1Char('\n'));
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    text += QStringLiteral("Kopia zapasowa została zapisana w folderze\n%1")
                .arg(QDir::toNativeSeparators(result->folder));
    if (!result->missing.isEmpty())
        text += QStringLiteral("\nPominięto brakujące katalogi: %1.")
                    .arg(result->missing.join(QStringLiteral(", ")));
    if (!result->skipped.isEmpty())
        text += QStringLiteral("\nPominięto pozycje, które nie są zwykłymi plikami: %1.")
                    .arg(result->skipped.join(QStringLiteral(", ")));
    context_.prompts.information(text);
}

void Tbaza_f::makeDailyBackup() {
    std::optional<backup::Result> result;
    try {
        const BusyCursor busy;
        result = backup::makeBackupIfDue(ws_, todayString(context_.clock.today()),
                                         context_.clock.now(), backup::sourceFor(ws_));
    } catch (const IoError& error) {
        context_.prompts.error(
            QStringLiteral("Nie udało się wykonać codziennej kopii zapasowej.\n") + error.text());
        return;
    }
    if (result && !result->retentionError.isEmpty())
        context_.prompts.error(retentionFailure(*result));
}

void Tbaza_f::restoreBackup() {
    if (!session_->requireBoss())
        return;
    // Files put back beside a register kept on a database server would be read by nobody.
    if (startup::readServerChoice(ws_.workDir)) {
        context_.prompts.information(
            QStringLiteral("Rejestr jest na serwerze bazy danych: przywracanie kopii z folderu "
                           "KOPIE działa tylko dla rejestru w plikach."));
        return;
    }
    QStringList copies;
    try {
        copies = backup::listCopies(ws_);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    if (copies.isEmpty()) {
        context_.prompts.information(
            QStringLiteral("W folderze %1 nie ma kopii zapasowych.")
                .arg(QDir::toNativeSeparators(backup::backupsFolder(ws_))));
        return;
    }
    const int index = context_.dialogs.chooseItem(
        QStringLiteral("Przywróć kopię"),
        QStringLiteral("Kopia do przywrócenia (data_godzina, najnowsza u góry):"), copies);
    if (index < 0)
        return;
    const QString name = copies[index];
    if (const QString problem = backup::copyProblem(ws_, name); !problem.isEmpty()) {
        context_.prompts.information(problem);
        return;
    }
    if (!context_.prompts.question(
            QStringLiteral("Przywrócić kopię %1 ?\nObecny stan rejestru zostanie najpierw "
                           "zapisany jako nowa kopia w folderze KOPIE.")
                .arg(name)))
        return;
    backup::RestoreResult result;
    try {
        const BusyCursor busy;
        result =
            backup::restore(ws_, name, todayString(context_.clock.today()), context_.clock.now());
    } catch (const IoError& error) {
        context_.prompts.error(QStringLiteral("Nie udało się przywrócić kopii %1.\n").arg(name) +
                               error.text());
        session_->showListAfterRemoval();
        return;
    }
    QString text = QStringLiteral("Przywrócono kopię %1 (%2).\nStan sprzed przywrócenia jest w "
                                  "kopii\n%3")
                       .arg(name, result.folders.join(QStringLiteral(", ")),
                            QDir::toNativeSeparators(result.safetyCopy));
    for (const QString& note : backup::restoreNotes(result))
        text += QLatin1Char('\n') + note;
    context_.prompts.information(text);
    // The list and the form show the register as it is now.
    session_->showListAfterRemoval();
}

} // namespace kestrana
