#include "applistfile.h"

#include "codepage.h"
#include "keyvaluereader.h"
#include "numbertext.h"

#include <QIODevice>
#include <QList>

namespace applistfile {

namespace {

// Whether file holds, byte for byte, the list the program writes when it has
// no entries.
bool isSavedEmptyList(QIODevice &file)
{
    const QByteArray empty = bytes({}, 0);
    return file.size() == empty.size() && file.seek(0) && file.read(empty.size() + 1) == empty;
}

} // namespace

QString fileName()
{
    return QStringLiteral("applist.tn");
}

ReadResult read(QIODevice &file, Slots &list)
{
    // Every lookup the load can make, answered from one pass over the file.
    const auto capOf = [](int i) { return 2 * i - 1; };
    const auto cmdOf = [](int i) { return 2 * i; };
    QList<KeyValueLookup> lookups {{QStringLiteral("general"), QStringLiteral("max")}};
    for (int i = 1; i <= MaxApps; ++i) {
        const QString section = QLatin1Char('t') + QString::number(i);
        lookups.append({section, QStringLiteral("cap")});
        lookups.append({section, QStringLiteral("cmd")});
    }
    const QStringList values = ReadKeyValues(file, lookups);

    const qint16 max = numbertext::wholeTextToInt16(values.first());
    if (max < 1 || max > MaxApps)
        return {max == 0 && isSavedEmptyList(file) ? Outcome::SavedEmpty : Outcome::CountOutOfRange, max};
    for (int i = 1; i <= max; ++i) {
        ProgramEntry &entry = list[i];
        entry.Caption = values.at(capOf(i));
        if (entry.Caption.isEmpty())
            entry.Caption = QStringLiteral("Приложение") + QString::number(i);
        entry.Command = values.at(cmdOf(i));
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
    using platform::codepage::LineBreaks;
    const QList<char32_t> first = platform::codepage::unholdable(text, 1, LineBreaks::NotHeld);
    if (first.isEmpty())
        return {};
    const char32_t character = first.first();
    if (character == U'\r' || character == U'\n')
        return {Unstorable::LineBreak, character};
    return {Unstorable::Character, character};
}

} // namespace applistfile
