// The main window's backups: the menu item "Kopia zapasowa" and the first start of a day.
#include "app/MainWindow.h"

#include "backup/Backup.h"
#include "platform/IoError.h"

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
        result = backup::makeBackup(ws_, todayString(context_.clock.today()), context_.clock.now());
    } catch (const IoError& error) {
        context_.prompts.error(QStringLiteral("Nie udało się wykonać kopii zapasowej.\n") +
                               error.text());
        return;
    }
    if (!result->retentionError.isEmpty()) {
        context_.prompts.error(retentionFailure(*result));
        return;
    }
    QString text = QStringLiteral("Kopia zapasowa została zapisana w folderze\n%1")
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
        result =
            backup::makeBackupIfDue(ws_, todayString(context_.clock.today()), context_.clock.now());
    } catch (const IoError& error) {
        context_.prompts.error(
            QStringLiteral("Nie udało się wykonać codziennej kopii zapasowej.\n") + error.text());
        return;
    }
    if (result && !result->retentionError.isEmpty())
        context_.prompts.error(retentionFailure(*result));
}

} // namespace kestrana
