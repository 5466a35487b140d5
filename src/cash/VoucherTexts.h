#pragma once

#include <QString>
#include <QStringList>

// Fixed texts of the voucher window.
namespace kestrana::vouchertexts {

// The help panel's sixteen lines, exactly as shown (some end with a blank, one is empty).
const QStringList& helpLines();

// The note under "Zapisz parametry", five lines.
const QStringList& counterNoteLines();

// Shown instead of an operation reserved to the boss, caption "Informacja".
QString bossOnly();

// What "Zapisz dokument" and "Czytaj dokument" call their file dialogs.
QString saveCaption();
QString openCaption();

} // namespace kestrana::vouchertexts
