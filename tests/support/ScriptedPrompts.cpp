#include "support/ScriptedPrompts.h"

#include "support/ScriptEnd.h"

#include <QTest>

namespace kestrana::test {

ScriptedPrompts::~ScriptedPrompts() {
    QStringList unused;
    for (const Step& step : steps_)
        unused.append(step.text);
    failOnUnusedAnswers("scripted prompts", unused);
}

bool ScriptedPrompts::take(Kind kind, const QString& text, bool& answer, const QString& caption) {
    shown_.append(text);
    if (steps_.empty()) {
        ++unexpected_;
        QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + text), __FILE__, __LINE__);
        return false;
    }
    const Step step = steps_.front();
    steps_.pop_front();
    const bool matches = step.kind == kind &&
                         (kind == Kind::Error ? text.contains(step.text) : text == step.text) &&
                         (kind != Kind::Question || caption == step.caption);
    if (!matches) {
        ++unexpected_;
        QTest::qFail(
            qPrintable(
                QStringLiteral("prompt \"%1\" where \"%2\" was expected").arg(text, step.text)),
            __FILE__, __LINE__);
        return false;
    }
    if (step.whileShown)
        step.whileShown();
    answer = step.answer;
    return true;
}

bool ScriptedPrompts::question(const QString& caption, const QString& text) {
    bool answer = false;
    take(Kind::Question, text, answer, caption);
    return answer;
}

void ScriptedPrompts::information(const QString& text) {
    bool ignored = false;
    take(Kind::Information, text, ignored);
}

void ScriptedPrompts::error(const QString& text) {
    bool ignored = false;
    take(Kind::Error, text, ignored);
}

} // namespace kestrana::test
