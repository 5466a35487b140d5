#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace kestrana {

// A sheet of self-adhesive address labels on A4 paper. Lengths are hundredths of a millimetre,
// measured from the paper's top-left corner: the first label's top and left edges, each label's
// size, and the gaps between neighbouring labels.
struct LabelSheet {
    QString name;
    int columns = 0;
    int rows = 0;
    int labelWidth = 0;
    int labelHeight = 0;
    int top = 0;
    int left = 0;
    int gapX = 0;
    int gapY = 0;

    int capacity() const { return columns * rows; }
    // "3 × 8, 63,5 × 33,9 mm"
    QString description() const;
    bool operator==(const LabelSheet&) const = default;
};

inline constexpr int kA4Width = 21000;
inline constexpr int kA4Height = 29700;

// The common A4 stocks, by the names the command line takes: 2x7 (99,1 × 38,1 mm, as Avery
// L7163), 3x7 (63,5 × 38,1, L7160), 3x8 (63,5 × 33,9, L7159), 2x8 (99,1 × 33,9, L7162), with
// those stocks' published margins and gaps.
const QList<LabelSheet>& standardSheets();

// What is wrong with a sheet, in words for the user; empty when its labels fit on A4.
QString sheetProblem(const LabelSheet& sheet);

// A length typed in millimetres ("63,5" or "63.5", at most two decimals) in hundredths; nothing
// when the text is no such number.
std::optional<int> parseMillimetres(const QString& text);
// Hundredths as the user reads them: "63,5", "4,65", "0".
QString millimetresText(int hundredths);

// The sheets this workstation's users defined: Admini/etykiety.txt in the working directory (a
// printer and its paper belong to the workstation), one sheet a line,
// "name;columns;rows;width;height;top;left;gap across;gap down" in millimetres. Lines that do
// not make a fitting sheet are passed over. A missing file holds none. Throws IoError.
QString userSheetsFile(const QString& workDir);
QList<LabelSheet> readUserSheets(const QString& workDir);
// Replaces the file whole; throws IoError.
void storeUserSheets(const QString& workDir, const QList<LabelSheet>& sheets);
// What is wrong with a sheet the user defines, or empty: that of
// sheetProblem(), a name that is empty, holds ';' or is taken by a common stock.
QString userSheetProblem(const LabelSheet& sheet);

// The common stock or this workstation's sheet of that name (letter case aside for the common
// stocks' "x"). Throws IoError.
std::optional<LabelSheet> sheetNamed(const QString& workDir, const QString& name);

} // namespace kestrana
