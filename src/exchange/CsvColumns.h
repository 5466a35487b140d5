#pragma once

#include "register/CategoryNames.h"
#include "register/EntryRecord.h"

#include <QString>
#include <QStringList>

// The columns of a register's CSV file, one row per entry:
//   1       "ID": the entry's id (exported for reference; an import gives new IDs)
//   2..25   the other 24 text fields in record order, headed by the entry form's labels
//           ("Kod", "Data", "Nazwa", ...; a label that appears in several blocks of the form
//           carries the block, as "Adres (korespondencja)"), the modification date included
//   26      "umowa rozwiązana": "tak" when the contract is terminated, else empty
//   27..46  categories 1..20, headed by their names, "tak" for membership, else empty
//   47..66  groups 1..20 likewise (group 20 too: it has no visible box but is part of the entry)
// Together with the zero reserved bytes of a new record these are all of an entry's data, so an
// export and an import keep every field. Category and group columns are taken by position: the
// names only help the reader (they may repeat, and another office may name them differently).
namespace kestrana::csv {

inline constexpr int kMarkColumn = kTextFieldCount; // 0-based column of "umowa rozwiązana"
inline constexpr int kFirstCategoryColumn = kMarkColumn + 1;
inline constexpr int kFirstGroupColumn = kFirstCategoryColumn + kCategoryCount;
inline constexpr int kColumnCount = kFirstGroupColumn + kGroupCount;

// The fixed headings of columns 1..26.
const QStringList& fixedHeadings();
// The whole header row: the fixed headings, then the category and group names ("Kategoria 7",
// "Grupa 3" for an empty name).
QStringList headerRow(const CategoryNames& names);

// How a set flag is written; an unset one is an empty cell.
QString markText();

// One entry as a row of kColumnCount cells.
QStringList entryRow(const EntryRecord& record);

} // namespace kestrana::csv
