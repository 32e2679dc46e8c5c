#include "fakedialogs.h"

#include <QTest>

void FakeDialogs::answerMessage(Answer answer, qsizetype times)
{
    for (; times > 0; --times)
        m_answers.append({Kind::Message, QVariant::fromValue(answer)});
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
        texts.append((call.title == u"Orvane Tarnel 2001"_qs ? u"-"_qs : call.title) + u' ' + describe(call.message));
    return texts;
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
