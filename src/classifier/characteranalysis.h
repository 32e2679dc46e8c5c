#pragma once

#include <QString>

// What the window says about a character. A character is a Unicode code
// point: one UTF-16 unit, or a surrogate pair for a character outside the
// Basic Multilingual Plane. A lone surrogate counts as a character of its own.
namespace kelvane {

// The first character of text, as one or two UTF-16 units; empty for an empty text.
QString firstCharacter(const QString &text);

// How many characters text holds, a surrogate pair counting once.
qsizetype characterCount(const QString &text);

// The code 0..255 of the first character in the ANSI code page, 63 for a
// character the code page cannot hold. text must not be empty.
int codeOfFirstCharacter(const QString &text);

// "Код символа=" and the code, followed by the language when the code is an
// English or a Russian letter.
QString analysisLine(int code);

} // namespace kelvane
