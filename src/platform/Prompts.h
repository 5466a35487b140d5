#pragma once

#include <QString>

namespace kestrana {

inline QString captionQuestion() {
    return QStringLiteral("Pytanie");
}
inline QString captionInformation() {
    return QStringLiteral("Informacja");
}
inline QString captionError() {
    return QStringLiteral("Błąd");
}

// Every message box of the program goes through this interface: the program shows real
// dialogs, tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A question with caption "Pytanie" and Yes/No buttons; true on Yes.
    virtual bool question(const QString& text) { return question(captionQuestion(), text); }
    // A Yes/No question under another caption.
    virtual bool question(const QString& caption, const QString& text) = 0;
    // A notice with caption "Informacja" and an OK button.
    virtual void information(const QString& text) = 0;
    // A failed operation: the platform's error text, OK button.
    virtual void error(const QString& text) = 0;
};

} // namespace kestrana
