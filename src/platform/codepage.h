#pragma once

#include <QByteArray>
#include <QString>

// Text on disk is single-byte Windows-1251. Every byte the program reads or
// writes crosses into Unicode here and nowhere else.
namespace platform::codepage {

// Every byte 0..255 decodes to exactly one character; 0x98, which has no
// letter in the code page, decodes to U+0098 so that it survives a round trip.
QString toUnicode(const QByteArray &bytes);
QString toUnicode(const char *bytes, qsizetype size);

// A character the code page cannot hold becomes one "?" (63); a surrogate pair
// is one character and so one "?".
QByteArray fromUnicode(const QString &text);

// The code 0..255 of one character (a UCS-4 code point), 63 when the code
// page cannot hold it.
int codeOf(char32_t character);

} // namespace platform::codepage
