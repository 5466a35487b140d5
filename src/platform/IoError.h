#pragma once

#include <QString>

#include <stdexcept>

namespace kestrana {

// A failed file operation: the platform's error text and the path. The handler of the user
// action catches it at its boundary and shows text() in a message box.
class IoError : public std::runtime_error {
public:
    IoError(QString operation, QString path, int errorNumber);
    // A failure the platform has no error number for (reading past the end of a file).
    IoError(QString operation, QString path, QString message);
    // A failure with an error number whose platform text says too little to the user (a symbolic
    // link where a data file belongs); `message` is shown instead.
    IoError(QString operation, QString path, int errorNumber, QString message);

    const QString& operation() const { return operation_; }
    const QString& path() const { return path_; }
    int errorNumber() const { return errorNumber_; }
    // The platform's own error text (strerror).
    const QString& platformText() const { return platformText_; }
    // What failed as a Polish sentence naming the path ("Nie udało się zapisać pliku …").
    QString sentence() const;
    // What the user sees: the sentence, then the platform's text after a colon.
    QString text() const;

private:
    QString operation_;
    QString path_;
    int errorNumber_;
    QString platformText_;
};

} // namespace kestrana
