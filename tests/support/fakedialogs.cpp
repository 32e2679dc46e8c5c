#include "fakedialogs.h"

#include <QTest>

void FakeDialogs::answerMessage(Answer answer, qsizetype times)
{
    for (; times > 0; --times)
        m_answers.append({Kind::Message, QVariant::fromValue(answer)});
}

void FakeDialogs::answer(const QString &words, Kind texts, const QString &folder)
{
    const QStringList answers {u"Ok"_qs, u"Cancel"_qs, u"Yes"_qs, u"No"_qs, u"Retry"_qs}; // in the order of Answer
    for (const QString &word : words.split(u' ', Qt::SkipEmptyParts)) {
        if (answers.contains(word))
            answerMessage(Answer(answers.indexOf(word)));
        else
            m_answers.append({texts, word == u"-" ? QString() : folder + word});
    }
}

QString FakeDialogs::describe(const Message &message)
{
    const char *icons[] = {".", "x", "!", "i", "?"};
    const char *buttons[] = {"ok", "okcancel", "yesno", "ync", "retry"};
    return QLatin1String(icons[int(message.icon)]) + u' ' + QLatin1String(buttons[int(message.buttons)]) + u": "_qs
         + message.text;
}

QList<FakeDialogs::Call> FakeDialogs::messages() const
{
    QList<Call> result;
    for (const Call &call : m_calls) {
        if (call.kind == Kind::Message)
            result.append(call);
    }
    return result;
}

QStringList FakeDialogs::asked() const
{
    QStringList texts;
    for (const Call &call : messages())
        texts.append(entry(call, {}));
    return texts;
}

QStringList FakeDialogs::log(const QHash<QString, QString> &tags) const
{
    QStringList entries;
    for (const Call &call : m_calls)
        entries.append(entry(call, tags));
    return entries;
}

QString FakeDialogs::entry(const Call &call, const QHash<QString, QString> &tags)
{
    const QString title = call.title == u"Orvane Tarnel 2001"_qs ? u"-"_qs : tags.value(call.title, call.title);
    if (call.kind == Kind::Message)
        return title + u' ' + describe(call.message);
    if (call.kind == Kind::Input)
        return title + u' ' + tags.value(call.prompt, call.prompt) + u" ["_qs + call.defaultText + u']';
    return (title + u" ["_qs + call.file.initialFolder + u"] "_qs + call.file.pattern).trimmed();
}

std::optional<QVariant> FakeDialogs::take(Kind kind, const QString &what)
{
    // Open and save dialogs share one queue: both answer with a path.
    const Kind queueKind = kind == Kind::SaveFile ? Kind::OpenFile : kind;
    for (qsizetype i = 0; i < m_answers.size(); ++i) {
        if (m_answers.at(i).first == queueKind)
            return m_answers.takeAt(i).second;
    }
    QTest::qFail(qPrintable(QStringLiteral("unexpected dialog: ") + what), __FILE__, __LINE__);
    return std::nullopt;
}

platform::Dialogs::Answer FakeDialogs::message(const Message &message)
{
    Call call {Kind::Message, message, {}, {}, {}, {}, titleOrDefault(message.title)};
    call.message.title = call.title;
    m_calls.append(call);
    if (whileAsked)
        whileAsked();
    const auto answer = take(Kind::Message, message.text);
    return answer ? answer->value<Answer>() : Answer::Cancel;
}

QString FakeDialogs::text(const Call &call, const QString &what)
{
    m_calls.append(call);
    const auto answer = take(call.kind, what);
    return answer ? answer->toString() : QString();
}

std::optional<QFont> FakeDialogs::chooseFont(const QString &title, const QFont &current)
{
    m_calls.append(Call {Kind::Font, {}, {}, {}, {}, current, title});
    const auto answer = take(Kind::Font, title);
    if (!answer || !answer->isValid())
        return std::nullopt;
    return answer->value<QFont>();
}
