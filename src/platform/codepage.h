#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Text on disk is single-byte Windows-1251, except a user's own notes written
// in UTF-8. Every byte the program reads or writes crosses into Unicode here
// and nowhere else.
namespace platform::codepage {

// How a user's text file holds its text. The default, the code page with CR LF
// line ends, is what the program's own files and every new document use.
struct Encoding
{
    bool utf8 = false;
    bool mark = false; // UTF-8 that begins with the byte-order mark
    bool lineFeeds = false; // UTF-8 whose line ends were all a lone LF
    bool operator==(const Encoding &other) const
    {
        return utf8 == other.utf8 && mark == other.mark && lineFeeds == other.lineFeeds;
    }
    bool operator!=(const Encoding &other) const { return !(*this == other); }
};

// The encoding of a user's text file: UTF-8 when it begins with the
// byte-order mark, or when its bytes are valid UTF-8 holding at least one
// multi-byte sequence; the code page for everything else, so that a file in
// the code page keeps every byte. A text in the code page is taken for UTF-8
// only when each of its letters stands right before as many bytes 0x80..0xBF
// (punctuation, "Ё", "ё") as a UTF-8 lead byte asks for: never in words.
Encoding encodingOf(QByteArrayView bytes);
// bytes in encoding, without the mark; the code page's two routines below
// for the default.
QString toUnicode(const QByteArray &bytes, Encoding encoding);
// text in encoding, with the mark where it has one. Line ends are the
// caller's: they are not changed here.
QByteArray fromUnicode(const QString &text, Encoding encoding);
// How a file of the program keeps an encoding: empty for the default.
QByteArray nameOf(Encoding encoding);
// The encoding of a name nameOf gives; nothing for any other name.
std::optional<Encoding> encodingNamed(QByteArrayView name);

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
