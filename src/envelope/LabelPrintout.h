#pragma once

#include "envelope/AddressHelpers.h"
#include "envelope/LabelSheet.h"
#include "print/PrintRun.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace kestrana {

// The print job's name of "Etykiety adresowe" and the file the print dialog proposes:
// "Etykiety adresowe 2026-03-05".
PrintDocument labelsPrintDocument(const QString& today);

struct LabelOptions {
    LabelSheet sheet;
    AddressBlock block = AddressBlock::Seat;
    int start = 1; // the first label of the first sheet to print on, 1-based
};

// Hands each label's address lines, in order, to the function it is given.
using LabelSource = std::function<void(const std::function<void(const QStringList&)>& each)>;

// The list file's entries that have an address in `block`, their lines as "Koperta" fills an
// envelope's recipient lines; read while printing, so a preview and its print read it afresh.
LabelSource listFileLabels(const QString& listFile, AddressBlock block);

// One label per address from label `start` of the first sheet, row by row, a new sheet when one
// is full, on A4 portrait placed from the paper's corner. The lines are fitted to the label
// inside its padding (fitLabel) in the print face, at most the print size; nothing is drawn
// around them. `cut`, when given, counts the labels whose address did not fit whole. Nothing
// is printed for no address at all.
Printout labelPrintout(const LabelOptions& options, LabelSource source,
                       std::shared_ptr<qint64> cut = nullptr);

// One sheet with only the frames of its labels, to hold against a printed sheet of labels.
Printout labelTestPage(const LabelSheet& sheet);

} // namespace kestrana
