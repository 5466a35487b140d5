#pragma once

#include "platform/Prompts.h"

class QWidget;

namespace kestrana {

// Message boxes over a parent window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    using Prompts::question;
    bool question(const QString& caption, const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;

private:
    QWidget* parent_;
};

} // namespace kestrana
