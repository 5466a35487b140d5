#pragma once

#include "exchange/ImportPlan.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// What the user is told about an import: before it (the preview and kestrana-cli), after it,
// and in the report file written beside the source.
namespace kestrana::csv {

// A few lines: the file, its encoding and separator, and how many rows are to be added, refused,
// look damaged, and repeat entries of the register.
QString planSummary(const ImportPlan& plan);

// Every refused, damaged and repeating row with its reasons, a section for each kind that
// occurs; at most `maxPerSection` rows each (-1: all), then how many more there are.
QString planDetails(const ImportPlan& plan, int maxPerSection = -1);

// "Dodano 3 wpisy (ID 41–43)." and, when rows were left out, how many.
QString resultSummary(const ImportResult& result);

// The lines of the report file: when, what, the choice, the entries added with their IDs, the
// rows left out, and every detail of the plan.
QStringList reportLines(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                        const QDateTime& when);

// A name in `folder` that no file has yet: "lista-raport-importu-2026-12-07-140509.txt".
QString reportPathFor(const QString& source, const QString& folder, const QDateTime& when);

// Writes the report (Windows-1250, CR LF) beside the source and returns its path; where the
// source's folder may not be written, into the workstation's folder instead. The file is
// written whole or not at all. Throws IoError.
QString writeImportReport(const Workstation& ws, const ImportPlan& plan, const ImportResult& result,
                          const QDateTime& when);

} // namespace kestrana::csv
