#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

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

// Whether a line break may stand in the text: not in a value that a file
// keeps on one line.
enum class LineBreaks { Held, NotHeld };

// The characters of text that would not come back from a file as they are,
// each once, in the order they first appear, at most atMost of them. A
// surrogate pair is one character; a lone surrogate is a character of its own
// that no code page holds. With LineBreaks::NotHeld, CR and LF count too.
QList<char32_t> unholdable(QStringView text, qsizetype atMost, LineBreaks lineBreaks = LineBreaks::Held);

// How a message names one character: itself between the quotes, then its
// code, as «Ж» (U+0416). A character below U+0020 goes by its code alone:
// shown as itself, a line break would break the message in two.
QString describeCharacter(char32_t character, QChar open = u'«', QChar close = u'»');

} // namespace platform::codepage
