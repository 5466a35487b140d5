#pragma once

#include "print/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

namespace kestrana::test {

// Answers the program's font, print and file dialogs from a script, in order. A dialog that
// the script does not expect (wrong kind, wrong caption, or none left) fails the running test,
// and so does a script with answers left when it goes out of scope.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() override;

    enum class Kind { Font, Print, Preview, OpenFile, SaveFile, Choice, TakeOver, Item };

    // The font dialog confirmed with `answer`, or cancelled with std::nullopt.
    void expectFont(std::optional<FontChoice> answer) {
        Step step{Kind::Font};
        step.font = std::move(answer);
        steps_.push_back(step);
    }
    // The print dialog confirmed: the printout draws on `target`, which the test owns.
    void expectPrint(Surface& target) {
        Step step{Kind::Print};
        step.surface = &target;
        steps_.push_back(step);
    }
    void expectPrintCancel() { steps_.push_back(Step{Kind::Print}); }
    // The print preview: the document is drawn on `preview`, then, when `print` is given, the
    // user prints from the window and the document is drawn again on `print`; without it the
    // window is closed.
    void expectPreview(Surface& preview, Surface* print = nullptr) {
        Step step{Kind::Preview};
        step.surface = &preview;
        step.printSurface = print;
        steps_.push_back(step);
    }
    // A file dialog answered with `answer` (empty: cancelled); a non-empty `caption` must match.
    void expectOpenFile(const QString& answer, const QString& caption = {}) {
        steps_.push_back(Step{Kind::OpenFile, caption, answer});
    }
    void expectSaveFile(const QString& answer, const QString& caption = {}) {
        steps_.push_back(Step{Kind::SaveFile, caption, answer});
    }
    // A choice window answered by pressing the button with this text, which must be offered.
    void expectChoice(const QString& button, const QString& caption = {}) {
        steps_.push_back(Step{Kind::Choice, caption, button});
    }
    // A pick from a list answered with this item, which must be offered; empty: cancelled.
    void expectItem(const QString& item, const QString& caption = {}) {
        steps_.push_back(Step{Kind::Item, caption, item});
    }
    // The take-over dialog confirmed with `answer` (an index per item, -1 to leave one out), or
    // cancelled with std::nullopt; a non-empty `caption` must match.
    void expectTakeOver(std::optional<TakeOverAnswer> answer, const QString& caption = {}) {
        Step step{Kind::TakeOver, caption};
        step.takeOver = std::move(answer);
        steps_.push_back(step);
    }

    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::unique_ptr<Surface> choosePrinter(const PrintDocument& document) override;
    bool previewPrint(const PrintDocument& document, const PreviewDrawing& draw) override;
    QString openFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    int choose(const QString& caption, const QString& summary, const QString& details,
               const QStringList& buttons) override;
    std::optional<TakeOverAnswer> chooseTakeOver(const QString& caption, const QString& report,
                                                 const QList<TakeOverItem>& items) override;
    int chooseItem(const QString& caption, const QString& text, const QStringList& items) override;
    // The items of the last pick from a list.
    const QStringList& lastPickItems() const { return lastItemList_; }

    // True when every scripted answer has been used (a check in the middle of a test; at its
    // end the destructor checks).
    bool done() const { return steps_.empty(); }
    int unexpected() const { return unexpected_; }
    // What the font dialogs were preset with, in order.
    const QList<FontChoice>& fontPresets() const { return fontPresets_; }
    // In order: captions of the file dialogs, document names of the print dialogs and previews,
    // preset faces of the font dialogs.
    const QStringList& shown() const { return shown_; }
    // The PDF file names the print dialogs and previews proposed, in order.
    const QStringList& proposedFiles() const { return proposedFiles_; }
    // Directory and filter of the last file dialog.
    const QString& lastDir() const { return lastDir_; }
    const QString& lastFilter() const { return lastFilter_; }
    // What the last choice window showed and offered.
    const QString& lastSummary() const { return lastSummary_; }
    const QString& lastDetails() const { return lastDetails_; }
    const QStringList& lastButtons() const { return lastButtons_; }
    // What the last take-over dialog showed and offered.
    const QString& lastReport() const { return lastReport_; }
    const QList<TakeOverItem>& lastItems() const { return lastItems_; }

private:
    struct Step {
        explicit Step(Kind kind, QString caption = {}, QString fileName = {})
            : kind(kind), caption(std::move(caption)), fileName(std::move(fileName)) {}
        Kind kind;
        QString caption;
        QString fileName; // or the button of a choice window
        std::optional<FontChoice> font;
        std::optional<TakeOverAnswer> takeOver;
        Surface* surface = nullptr;
        Surface* printSurface = nullptr;
    };
    const Step* take(Kind kind, const QString& caption);

    std::deque<Step> steps_;
    QStringList lastItemList_;
    Step current_{Kind::Font};
    QList<FontChoice> fontPresets_;
    QStringList shown_;
    QStringList proposedFiles_;
    QString lastDir_;
    QString lastFilter_;
    QString lastSummary_;
    QString lastDetails_;
    QStringList lastButtons_;
    QString lastReport_;
    QList<TakeOverItem> lastItems_;
    int unexpected_ = 0;
};

} // namespace kestrana::test
