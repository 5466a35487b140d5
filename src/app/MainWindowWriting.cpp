// The main window's items for writing to many producers at once: repeated entries found,
// e-mail to the list, address labels.
#include "app/DuplicatesWindow.h"
#include "app/MainWindow.h"

#include "app/ui_Tbaza_f.h"
#include "envelope/GroupMailWindow.h"
#include "envelope/LabelsWindow.h"
#include "platform/IoError.h"
#include "register/Duplicates.h"

#include <QApplication>

namespace kestrana {

void Tbaza_f::wireWriting() {
    connect(ui->PowtorzoneWpisy1, &QAction::triggered, this, &Tbaza_f::findDuplicates);
    connect(ui->EmailDoListy1, &QAction::triggered, this, &Tbaza_f::sendGroupMail);
    connect(ui->EtykietyAdresowe1, &QAction::triggered, this, &Tbaza_f::openLabels);
}

void Tbaza_f::findDuplicates() {
    if (!session_->requireBoss())
        return;
    std::vector<duplicates::Group> groups;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        groups = duplicates::find(*store_);
        QApplication::restoreOverrideCursor();
    } catch (const IoError& error) {
        QApplication::restoreOverrideCursor();
        showIoError(error);
        return;
    }
    if (groups.empty()) {
        context_.prompts.information(QStringLiteral("Nie znaleziono powtórzonych wpisów."));
        return;
    }
    auto* window = new DuplicatesWindow(
        std::move(groups),
        [this](qint64 position, const QString& id) { showFoundEntry(position, id); }, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void Tbaza_f::showFoundEntry(qint64 position, const QString& id) {
    session_->showRecord(position);
    if (shownEntry().text(Field::id) != id)
        context_.prompts.information(
            QStringLiteral("Wpis o ID %1 zmienił miejsce w rejestrze albo został usunięty. "
                           "Znajdź powtórzone wpisy ponownie.")
                .arg(id));
}

void Tbaza_f::sendGroupMail() {
    groupmail::Collector collected;
    try {
        collected = groupmail::collectFromListFile(register_->listSource());
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    GroupMailWindow window(collected, context_.prompts, context_.dialogs, openMail_, ws_.workDir,
                           this);
    window.exec();
}

void Tbaza_f::openLabels() {
    LabelsWindow window({ws_.workDir, ws_.listFile(), todayString(context_.clock.today())},
                        context_.prompts, context_.dialogs, context_.fonts, this);
    window.exec();
}

} // namespace kestrana
