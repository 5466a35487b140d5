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

// The captions with a mnemonic each where one can be found: the first letter of a word that no
// earlier caption (nor `taken`) uses, else any such letter of the caption; a caption that
// already has one keeps it. Letters only, from the Latin alphabet, so that Alt with the key
// works on a Polish keyboard as on any other.
QStringList assign(const QStringList& captions, const QList<QChar>& taken = {});

// The keys used more than once among these captions (each key once, in the order found).
QList<QChar> clashes(const QStringList& captions);

} // namespace kestrana::mnemonics
