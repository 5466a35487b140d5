#pragma once

#include <QString>
#include <QStringList>

namespace kestrana::test {

// Output of a poppler tool (pdfinfo, pdftotext, pdfimages) run on a printed PDF; a null string
// when the tool is not installed, "<tool failed>" when it fails.
QString poppler(const QString& tool, const QStringList& arguments);

} // namespace kestrana::test
