#pragma once

#include "cash/VoucherKind.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace kestrana {

struct Workstation;

// The library of ready-made "Tytułem" texts of a kind (DOKUMENTY/kptresc.dat, kwtresc.dat): a
// Windows-1250 text file, one text per line; empty lines are texts too.
QString fixedTextsFile(const Workstation& ws, DocumentKind kind);

// The title of the notepad window that edits the library ("Edytor treści").
inline constexpr QStringView FixedTextsEditorTitle = u"Edytor stałej treści";

// Sorted as the pick list keeps its entries: alphabetically without regard to case, in Polish
// order; texts that compare equal keep their file order.
QStringList sortedFixedTexts(QStringList texts);

// "Wstaw treść": the pick list's entries, or empty when the library file does not exist.
// Throws IoError when it cannot be read.
std::optional<QStringList> pickListTexts(const Workstation& ws, DocumentKind kind);

} // namespace kestrana
