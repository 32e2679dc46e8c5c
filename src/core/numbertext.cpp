#include "numbertext.h"

#include "runtimefailure.h"

#include <cmath>
#include <limits>

namespace numbertext {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype skipDigits(const QString &text, qsizetype i)
{
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    return i;
}

qsizetype skipBlanks(const QString &text, qsizetype i)
{
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    return i;
}

} // namespace

QString numericBeginning(const QString &text)
{
    const qsizetype start = skipBlanks(text, 0);
    qsizetype i = start;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    const qsizetype intStart = i;
    i = skipDigits(text, i);
    bool digits = i > intStart;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        const qsizetype fracStart = i + 1;
        const qsizetype fracEnd = skipDigits(text, fracStart);
        if (digits || fracEnd > fracStart) {
            digits = true;
            i = fracEnd;
        }
    }
    if (!digits)
        return QString();
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        const qsizetype expEnd = skipDigits(text, j);
        if (expEnd > j)
            i = expEnd;
    }
    return text.mid(start, i - start);
}

qint16 toInt16(const QString &number)
{
    // A huge exponent reads as infinity and a tiny one as 0; the range test
    // below refuses infinity like any other number beyond 16 bits.
    const double value = number.toDouble();
    const double rounded = std::nearbyint(value); // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw platform::RuntimeFailure::withNumber(platform::failure::Overflow);
    return static_cast<qint16>(rounded);
}

qint16 wholeTextToInt16(const QString &text)
{
    const QString number = numericBeginning(text);
    const qsizetype numberEnd = skipBlanks(text, 0) + number.size();
    if (number.isEmpty() || skipBlanks(text, numberEnd) != text.size())
        throw platform::RuntimeFailure::withNumber(platform::failure::TypeMismatch);
    return toInt16(number);
}

} // namespace numbertext
