#pragma once

#include "envelope/LabelSheet.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace kestrana {

// Hundredths of a millimetre in device dots, rounded (halves to even).
int hundredthsToDots(qint64 hundredths, int dpi);

// Label `index` (0-based, row by row) of a sheet in device dots from the paper's top-left
// corner. Each edge is worked out from millimetres on its own, so no rounding adds up over a
// sheet; the right and bottom edges are excluded.
QRect labelRect(const LabelSheet& sheet, int index, int dpiX, int dpiY);

// Sheets needed for `labels` labels when the first sheet is used from label `start` (1-based;
// the labels before it are gone already).
qint64 sheetsNeeded(const LabelSheet& sheet, qint64 labels, int start);

// Room kept free inside a label's edges, across and down, in hundredths of a millimetre.
inline constexpr int kLabelPaddingX = 250;
inline constexpr int kLabelPaddingY = 150;

// The address lines of one label in the size they are written in.
struct FittedLabel {
    int points = 0;
    QStringList lines;
    int lineHeight = 0; // device dots
    bool cut = false;   // even the smallest size, lines broken anywhere, did not hold it all
};

// The cell a text takes in the print face at `points`, in device dots.
using MeasureText = std::function<QSize(int points, const QString& text)>;

// Lines stay whole in sizes down to this one (or the print size, when smaller).
inline constexpr int kLabelWholeLinePoints = 8;

// Fits the lines (blank ones left out) into `room` device dots without cutting them: the
// largest size from `maxPoints` down to kLabelWholeLinePoints at which every line fits whole;
// failing that, the largest down to `minPoints` at which lines broken between words fit;
// failing that, the smallest size with lines broken anywhere, and as many of them as the
// height holds (`cut`).
FittedLabel fitLabel(const QStringList& lines, QSize room, int maxPoints, int minPoints,
                     const MeasureText& measure);

} // namespace kestrana
