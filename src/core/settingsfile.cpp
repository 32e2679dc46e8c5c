#include "settingsfile.h"

#include "codepage.h"
#include "numbertext.h"

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

qint16 pageFromText(const QString &text)
{
    const QString number = numbertext::numericBeginning(text);
    return number.isEmpty() ? qint16(0) : numbertext::toInt16(number);
}

QByteArray bytes(int curTab, const QString &lastFile)
{
    const QString crLf = QStringLiteral("\r\n");
    const QString text = QLatin1Char('[') + section() + QLatin1Char(']') + crLf + curTabKey() + QLatin1Char('=')
                       + QString::number(curTab) + crLf + lastFileKey() + QLatin1Char('=') + lastFile + crLf;
    return platform::codepage::fromUnicode(text);
}

} // namespace settingsfile
