#pragma once

#include "platform/Prompts.h"
#include "register/CategoryNames.h"
#include "station/Workstation.h"

#include <QWidget>

#include <memory>

namespace Ui {
class Tkat_f;
}

namespace kestrana {

// The names window: the boss names the 20 categories and 20 groups in a grid. Preparing it
// reads the names file (created with defaults when missing) under the base directory decided
// afresh from Admini/siec.dat; "Powrót" stores the names and hides it, the only way out.
class Tkat_f : public QWidget {
    Q_OBJECT

public:
    // Prepares the window (FormCreate); `ws` supplies the working directory and file name.
    Tkat_f(const Workstation& ws, Prompts& prompts, QWidget* parent = nullptr);
    ~Tkat_f() override;

    // Header cells, base directory, names file, grid. False when a file operation failed
    // (the error has been shown).
    bool FormCreate();
    // Opens the window (the caller has checked the boss level): prepares it and shows it
    // centred, not modal. Nothing is shown when preparing fails.
    void open();
    // "Powrót": stores the grid's names (each cut to 15 characters) and hides the window.
    // False when storing failed: the error has been shown and the window stays open.
    bool storeAndClose();

    // The names as the grid holds them now.
    CategoryNames gridNames() const;
    // The names file used by the last preparation.
    const QString& namesFile() const { return namesFile_; }

signals:
    // After "Powrót" stored them: the names as the file now holds them.
    void namesStored(const kestrana::CategoryNames& names);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::Tkat_f> ui;
    const Workstation& ws_;
    Prompts& prompts_;
    QString namesFile_;
};

} // namespace kestrana
