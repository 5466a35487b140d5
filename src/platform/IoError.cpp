#include "platform/IoError.h"

#include <QDir>

#include <cstring>

namespace kestrana {

IoError::IoError(QString operation, QString path, int errorNumber)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(errorNumber),
      platformText_(QString::fromLocal8Bit(std::strerror(errorNumber))) {}

IoError::IoError(QString operation, QString path, QString message)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(0),
      platformText_(std::move(message)) {}

IoError::IoError(QString operation, QString path, int errorNumber, QString message)
    : std::runtime_error(QString(operation + QLatin1String(": ") + path).toStdString()),
      operation_(std::move(operation)), path_(std::move(path)), errorNumber_(errorNumber),
      platformText_(std::move(message)) {}

QString IoError::text() const {
    return platformText_ + QLatin1Char('\n') + operation_ + QLatin1String(": ") +
           QDir::toNativeSeparators(path_);
}

} // namespace kestrana
