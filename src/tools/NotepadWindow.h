#pragma once

#include "platform/Prompts.h"
#include "print/Dialogs.h"
#include "print/FontSettings.h"
#include "tools/Notepad.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class Tlogowania_f;
}

namespace kestrana {

// The notepad window: a text file of the data folder in an editor, printed on request and,
// in edit mode, written back on "Powrót". Created once, hidden between openings.
class Tlogowania_f : public QWidget {
    Q_OBJECT

public:
    Tlogowania_f(Prompts& prompts, Dialogs& dialogs, FontSettings& fonts, QString workDir,
                 QWidget* parent = nullptr);
    ~Tlogowania_f() override;

    notepad::Request request;

    // The preparation: caption, base directory, network check, the file into the editor.
    // Returns false when the network check decided that the program must end. A file step that
    // fails is shown and leaves preparationFailed() set: the window must not be shown then, or
    // "Powrót" would store an editor that does not hold the requested file.
    bool FormCreate();
    bool preparationFailed() const { return preparationFailed_; }
    // Sets the request, prepares and shows the window.
    bool open(const notepad::Request& newRequest);
    // "Powrót".
    void leave();
    // "Drukuj".
    void print();
    // The editor's lines as it shows them, long lines broken where it wraps them.
    QStringList displayedLines() const;
    QString baseDir() const { return baseDir_; }
    QString filePath() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::Tlogowania_f> ui;
    Prompts& prompts_;
    Dialogs& dialogs_;
    FontSettings& fonts_;
    QString workDir_;
    QString baseDir_;
    bool preparationFailed_ = false;
};

} // namespace kestrana
