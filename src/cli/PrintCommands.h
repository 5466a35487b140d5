#pragma once

#include "reports/PrintJob.h"

#include <QString>
#include <QStringList>

namespace kestrana {

// kestrana-cli print detailed|definable|entry|description (--pdf FILE | --trace FILE)
// [--dpi N]; definable also takes --pole1 TEXT .. --pole6 TEXT, --one-line and --title TEXT,
// entry and description take --id ID. `args` is the command line after the program name,
// "print" first. `makeFilter`, when set, is the filter given on the command line: the list
// printouts then rebuild the list file through it before printing, as the filtered build does.
// Needs a QGuiApplication (a PDF draws text). Returns 0 when printed, 1 when nothing was
// printed (an error or refusal, said on stderr), 2 for wrong arguments.
int runPrintCommand(const QStringList& args, const QString& workDir,
                    const printjob::FilterFactory& makeFilter = {});

// The command's usage lines, for the program's usage text.
QString printCommandUsage();

} // namespace kestrana
