#pragma once

#include <QString>

// Numbers written in the program's text files, read in one notation: an
// optional sign, digits with an optional fraction, an optional exponent
// ("-2", "2.5", ".5", "1.5e1"), rounded to a whole number with halves to the
// even neighbour.
namespace numbertext {

// The longest beginning of text that reads as a number, after leading blanks
// (spaces and tabs); empty when the text has no digits there.
QString numericBeginning(const QString &text);

// A number as numericBeginning gives it, rounded into 16 bits. Throws
// platform::RuntimeFailure (overflow) when it does not fit.
qint16 toInt16(const QString &number);

// The whole text as a number: blanks around it are allowed, anything else is
// a type mismatch (platform::RuntimeFailure), as is an empty text. Throws
// overflow as toInt16.
qint16 wholeTextToInt16(const QString &text);

} // namespace numbertext
