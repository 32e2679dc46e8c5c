#include "applistfile.h"

#include "codepage.h"
#include "keyvaluereader.h"
#include "numbertext.h"

#include <QList>

namespace applistfile {

QString fileName()
{
    return QStringLiteral("applist.tn");
}

ReadResult read(QIODevice &file, Slots &list)
{
    const qint16 max
        = numbertext::wholeTextToInt16(ReadKeyValue(file, QStringLiteral("general"), QStringLiteral("max")));
    if (max < 1 || max > AppState::MaxApps)
        return {Outcome::CountOutOfRange, max};
    for (int i = 1; i <= max; ++i) {
        const QString section = QLatin1Char('t') + QString::number(i);
        ProgramEntry &entry = list[i];
        entry.Caption = ReadKeyValue(file, section, QStringLiteral("cap"));
        if (entry.Caption.isEmpty())
            entry.Caption = QStringLiteral("Приложение") + QString::number(i);
        entry.Command = ReadKeyValue(file, section, QStringLiteral("cmd"));
        if (entry.Command.isEmpty())
            return {Outcome::MissingCommand, max};
    }
    return {Outcome::Loaded, max};
}

QByteArray bytes(const Slots &list, qint16 count)
{
    const QString crLf = QStringLiteral("\r\n");
    QString text = QStringLiteral("[general]") + crLf + QStringLiteral("max=") + QString::number(count) + crLf;
    for (int i = 1; i <= count; ++i) {
        text += QStringLiteral("[t") + QString::number(i) + QLatin1Char(']') + crLf;
        text += QStringLiteral("cap=") + list[i].Caption + crLf;
        text += QStringLiteral("cmd=") + list[i].Command + crLf;
    }
    return platform::codepage::fromUnicode(text);
}

Unstorable checkStorable(const QString &text)
{
    // toUcs4 turns a lone surrogate into U+FFFD, which the code page lacks too.
    for (const char32_t character : text.toUcs4()) {
        if (character == U'\r' || character == U'\n')
            return {Unstorable::LineBreak, character};
        if (character != U'?' && platform::codepage::codeOf(character) == '?')
            return {Unstorable::Character, character};
    }
    return {};
}

} // namespace applistfile
