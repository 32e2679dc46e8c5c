#include "codepage.h"

#include <QStringDecoder>

#include <array>
#include <cstdint>

namespace platform::codepage {

namespace {

// The upper half of Windows-1251. 0x98 has no letter in the code page; it
// stands for U+0098 so that every byte survives a round trip.
constexpr std::array<char16_t, 128> upperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
};

constexpr char unknownCode = '?';

// Every character of the upper half lies in one of two small ranges of
// Unicode, so the way back is two direct lookups instead of a search. A zero
// entry means "not in the code page" (code 0 itself lies in the lower half).
template<char16_t First, char16_t End> constexpr std::array<std::uint8_t, End - First> reverseRange()
{
    std::array<std::uint8_t, End - First> table {};
    for (std::size_t i = 0; i < upperHalf.size(); ++i) {
        const char16_t character = upperHalf[i];
        if (character >= First && character < End)
            table[character - First] = static_cast<std::uint8_t>(0x80 + i);
    }
    return table;
}

constexpr char16_t cyrillicEnd = 0x0500;
constexpr char16_t punctuationFirst = 0x2000;
constexpr char16_t punctuationEnd = 0x2130;
constexpr auto reverseLow = reverseRange<0x0000, cyrillicEnd>();
constexpr auto reversePunctuation = reverseRange<punctuationFirst, punctuationEnd>();

inline char encodeUnit(char32_t character)
{
    if (character < 0x80)
        return static_cast<char>(character);
    std::uint8_t code = 0;
    if (character < cyrillicEnd)
        code = reverseLow[character];
    else if (character >= punctuationFirst && character < punctuationEnd)
        code = reversePunctuation[character - punctuationFirst];
    return code != 0 ? static_cast<char>(code) : unknownCode;
}

const QByteArray utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

// Valid UTF-8 with at least one multi-byte sequence: no stray continuation
// byte, no overlong form, no surrogate, nothing beyond U+10FFFF.
bool isMultiByteUtf8(QByteArrayView bytes)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    bool multiByte = false;
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The range of the second byte; every later one is 0x80..0xBF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        int length = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : low;
            high = lead == 0xED ? 0x9F : high;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;
        } else {
            return false;
        }
        if (size - i < length || in[i + 1] < low || in[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if ((in[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += length;
        multiByte = true;
    }
    return multiByte;
}

} // namespace

Encoding encodingOf(QByteArrayView bytes)
{
    Encoding encoding;
    encoding.mark = bytes.startsWith(utf8Mark);
    encoding.utf8 = encoding.mark || isMultiByteUtf8(bytes);
    encoding.lineFeeds = encoding.utf8 && bytes.contains('\n') && !bytes.contains('\r');
    return encoding;
}

QString toUnicode(const QByteArray &bytes, Encoding encoding)
{
    if (!encoding.utf8)
        return toUnicode(bytes);
    // A U+FEFF after the mark is the user's: fromUtf8 would drop it as a mark.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes).sliced(encoding.mark ? utf8Mark.size() : 0));
}

QByteArray fromUnicode(const QString &text, Encoding encoding)
{
    if (!encoding.utf8)
        return fromUnicode(text);
    return encoding.mark ? utf8Mark + text.toUtf8() : text.toUtf8();
}

QByteArray nameOf(Encoding encoding)
{
    if (!encoding.utf8)
        return QByteArray();
    return QByteArrayLiteral("utf-8") + (encoding.mark ? " mark" : "") + (encoding.lineFeeds ? " lf" : "");
}

std::optional<Encoding> encodingNamed(QByteArrayView name)
{
    for (const bool mark : {false, true}) {
        for (const bool lineFeeds : {false, true}) {
            const Encoding encoding {true, mark, lineFeeds};
            if (name == nameOf(encoding))
                return encoding;
        }
    }
    if (name.isEmpty())
        return Encoding();
    return std::nullopt;
}

QString toUnicode(const char *bytes, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char byte = in[i];
        out[i] = byte < 0x80 ? char16_t(byte) : upperHalf[byte - 0x80];
    }
    return text;
}

QString toUnicode(const QByteArray &bytes)
{
    return toUnicode(bytes.constData(), bytes.size());
}

QByteArray fromUnicode(const QString &text)
{
    const qsizetype size = text.size();
    QByteArray bytes(size, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const char16_t *>(text.constData());
    char *out = bytes.data();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = in[i];
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            // One character outside the basic plane: never in the code page.
            ++i;
            out[written++] = unknownCode;
        } else if (QChar::isSurrogate(unit)) {
            out[written++] = unknownCode;
        } else {
            out[written++] = encodeUnit(unit);
        }
    }
    bytes.truncate(written);
    return bytes;
}

int codeOf(char32_t character)
{
    if (character > 0xFFFF || (character >= 0xD800 && character <= 0xDFFF))
        return unknownCode;
    return static_cast<unsigned char>(encodeUnit(character));
}

QList<char32_t> unholdable(QStringView text, qsizetype atMost, LineBreaks lineBreaks)
{
    QList<char32_t> found;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size && found.size() < atMost; ++i) {
        const char16_t unit = text[i].unicode();
        char32_t character = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && text[i + 1].isLowSurrogate())
            character = QChar::surrogateToUcs4(unit, text[++i].unicode());
        const bool lineBreak = character == U'\r' || character == U'\n';
        const bool held
            = lineBreak ? lineBreaks == LineBreaks::Held : character == U'?' || codeOf(character) != unknownCode;
        if (!held && !found.contains(character))
            found.append(character);
    }
    return found;
}

QString describeCharacter(char32_t character, QChar open, QChar close)
{
    const QString code
        = QStringLiteral("U+") + QString::number(quint32(character), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    if (character < 0x20)
        return code;
    // QString::fromUcs4 would drop a U+FEFF as a byte-order mark.
    const QString shown = character > 0xFFFF ? QString::fromUcs4(&character, 1) : QString(QChar(char16_t(character)));
    return open + shown + close + QStringLiteral(" (") + code + QLatin1Char(')');
}

} // namespace platform::codepage
