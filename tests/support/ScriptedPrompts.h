#pragma once

#include "platform/Prompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace kestrana::test {

// Answers the program's message boxes from a script, in order. A prompt that the script does
// not expect (wrong kind, wrong text, or none left) fails the running test, and so does a
// script with answers left when it goes out of scope.
class ScriptedPrompts : public Prompts {
public:
    ScriptedPrompts() = default;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;
    ~ScriptedPrompts() override;

    enum class Kind { Question, Information, Error };
    struct Step {
        Kind kind;
        QString text; // exact text, or empty for an error (whose text is the platform's)
        bool answer = true;
        QString caption;
        // Runs while the prompt is shown, before it is answered (another workstation acting
        // meanwhile, say).
        std::function<void()> whileShown = {};
    };

    void expectQuestion(const QString& text, bool answer) {
        steps_.push_back({Kind::Question, text, answer, captionQuestion()});
    }
    void expectQuestion(const QString& caption, const QString& text, bool answer) {
        steps_.push_back({Kind::Question, text, answer, caption});
    }
    // A question during which `whileShown` runs.
    void expectQuestion(const QString& text, bool answer, std::function<void()> whileShown) {
        steps_.push_back({Kind::Question, text, answer, captionQuestion(), std::move(whileShown)});
    }
    void expectInformation(const QString& text) {
        steps_.push_back({Kind::Information, text, true, {}});
    }
    // An error message whose text contains `part` (empty: any error).
    void expectError(const QString& part = {}) { steps_.push_back({Kind::Error, part, true, {}}); }

    using Prompts::question;
    bool question(const QString& caption, const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;

    // True when every scripted answer has been used (a check in the middle of a test; at its
    // end the destructor checks).
    bool done() const { return steps_.empty(); }
    // Everything shown so far, for assertions on messages that were allowed.
    const QStringList& shown() const { return shown_; }
    int unexpected() const { return unexpected_; }

private:
    bool take(Kind kind, const QString& text, bool& answer, const QString& caption = {});

    std::deque<Step> steps_;
    QStringList shown_;
    int unexpected_ = 0;
};

} // namespace kestrana::test
