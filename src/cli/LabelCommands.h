#pragma once

#include <QString>
#include <QStringList>

namespace kestrana {

// kestrana-cli print labels [FILTER] --sheet 2x7|3x7|3x8|2x8|NAME (--pdf FILE | --trace FILE)
//                           [--start N] [--block 1|2|3] [--dpi N] [--test-page]
// Address labels of the list file's entries (with filter options: of the list the filter
// builds, as the filtered build writes it), one per entry with an address in the block (1 seat,
// 2 correspondence, 3 contact person; seat when not given), from label N of the first sheet.
// NAME is a sheet this workstation defined in the labels window. --test-page prints the frames
// of one sheet only. Says how many labels and sheets on stdout. `args` start with "print".
// Returns 0 when printed, 1 when nothing was printed (the reason on stderr), 2 for wrong
// arguments.
int runLabelPrintCommand(const QStringList& args, const QString& workDir);

QString labelPrintUsage();

} // namespace kestrana
