#pragma once

#include "register/EntryRecord.h"

#include <QString>
#include <QStringView>

namespace kestrana {

// What the list lines show before the hidden part: 1 "Nazwa", 2 "Nazwa i kod",
// 3 "Kod i nazwa", 4 "Nazwa i telefon", 5 "Nazwa i E-mail".
enum class ViewMode { Nazwa = 1, NazwaKod = 2, KodNazwa = 3, NazwaTelefon = 4, NazwaMail = 5 };

inline constexpr int kListViewWidth = 100;  // columns 1..100: the view text
inline constexpr int kListNumberWidth = 20; // columns 101..120: the record number
inline constexpr int kListGapWidth = 31;    // columns 121..151
inline constexpr int kShortNameLength = 35;

QString listViewText(const EntryRecord& record, ViewMode mode);
// One list line; `recordNumber` is the 1-based position in the main file.
QString listLine(const EntryRecord& record, qint64 recordNumber, ViewMode mode);
// The digits found in columns 101..110, read as a number; 0 when there are none.
qint64 recordNumberOfLine(QStringView line);

} // namespace kestrana
