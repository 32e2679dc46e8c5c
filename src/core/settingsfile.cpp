#include "settingsfile.h"

#include "codepage.h"
#include "runtimefailure.h"

#include <cmath>
#include <limits>

namespace settingsfile {

QString fileName()
{
    return QStringLiteral("tarnel.ini");
}

QString section()
{
    return QStringLiteral("mytarnel");
}

QString curTabKey()
{
    return QStringLiteral("CurTab");
}

QString lastFileKey()
{
    return QStringLiteral("LastFile");
}

namespace {

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

// The longest beginning of text that reads as a decimal number, or an empty
// string when it has no digits before any other character.
QString numericBeginning(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && (text.at(start) == QLatin1Char(' ') || text.at(start) == QLatin1Char('\t')))
        ++start;
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

} // namespace

qint16 pageFromText(const QString &text)
{
    const QString number = numericBeginning(text);
    if (number.isEmpty())
        return 0;
    // A huge exponent reads as infinity and a tiny one as 0; the range test
    // below refuses infinity like any other number beyond 16 bits.
    const double value = number.toDouble();
    const double rounded = std::nearbyint(value); // the default mode rounds halves to even
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw platform::RuntimeFailure::withNumber(platform::failure::Overflow);
    return static_cast<qint16>(rounded);
}

QByteArray bytes(int curTab, const QString &lastFile)
{
    const QString crLf = QStringLiteral("\r\n");
    const QString text = QLatin1Char('[') + section() + QLatin1Char(']') + crLf + curTabKey() + QLatin1Char('=')
                       + QString::number(curTab) + crLf + lastFileKey() + QLatin1Char('=') + lastFile + crLf;
    return platform::codepage::fromUnicode(text);
}

} // namespace settingsfile
