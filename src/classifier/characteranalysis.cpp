#include "characteranalysis.h"

#include "codepage.h"

using namespace Qt::StringLiterals;

namespace kelvane {

namespace {

bool startsWithSurrogatePair(QStringView text)
{
    return text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
}

} // namespace

QString firstCharacter(const QString &text)
{
    return text.left(startsWithSurrogatePair(text) ? 2 : 1);
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (startsWithSurrogatePair(QStringView(text).mid(i)))
            ++i;
        ++count;
    }
    return count;
}

int codeOfFirstCharacter(const QString &text)
{
    Q_ASSERT(!text.isEmpty());
    const char32_t character = startsWithSurrogatePair(text) ? QChar::surrogateToUcs4(text.at(0), text.at(1))
                                                             : char32_t(text.at(0).unicode());
    return platform::codepage::codeOf(character);
}

QString analysisLine(int code)
{
    QString line = u"Код символа="_s + QString::number(code);
    if ((code >= 65 && code <= 90) || (code >= 97 && code <= 122))
        line += u"; английский символ"_s;
    // In Windows-1251 the codes from 192 up are exactly А..Я and а..я; Ё (168)
    // and ё (184) lie below and get no language.
    else if (code >= 192)
        line += u"; русский символ"_s;
    return line;
}

} // namespace kelvane
