#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrana::mnemonics {

// The key a caption's mnemonic stands for: the character after a single "&" ("&&" is a
// literal ampersand), in lower case; a null character when the caption has none.
QChar keyOf(const QString& caption);

// A caption shown as it is, with no mnemonic: every "&" doubled. For texts the user chose
// (category names), which may hold an ampersand of their own.
QString literal(const QString& text);

// A caption as the user reads it: the mnemonic's "&" left out, "&&" shown as one "&".
QString shown(const QString& caption);

// The keys used more than once among these captions (each key once, in the order found).
QList<QChar> clashes(const QStringList& captions);

} // namespace kestrana::mnemonics
