#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Text in every data file is Polish Windows-1250, one byte per character.
namespace kestrana::cp1250 {

// Decodes bytes; every byte maps to exactly one character.
QString decode(const char* data, qsizetype length);
inline QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

// Appends exactly what decode(data, length).toUtf8() gives, without a text in between: for
// lines written out by the million.
void appendUtf8(const char* data, qsizetype length, QByteArray& out);

// Encodes text; a character the code page lacks becomes '?', one per character (a character
// outside the Basic Multilingual Plane counts as one).
QByteArray encode(QStringView text);

// The byte for one character, '?' when the code page lacks it.
char encodeChar(char32_t codePoint);

// The characters of `text` the code page lacks, each once, in the order they first appear (a
// character outside the Basic Multilingual Plane as its two halves); empty when it has them all.
QString missingCharacters(QStringView text);

} // namespace kestrana::cp1250
