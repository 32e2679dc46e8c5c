#pragma once

#include "dialogs.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

// Answers the program's dialogs from a script. Every call is recorded; a call
// for which no answer was queued fails the running test and is answered with
// Cancel (an empty text, no font).
class FakeDialogs final : public platform::Dialogs
{
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Font };

    struct Call
    {
        Kind kind;
        Message message; // Message: as asked; title already defaulted
        QString prompt; // Input
        QString defaultText; // Input
        FileRequest file; // OpenFile, SaveFile
        QFont font; // Font: the font preset
        QString title; // the title shown, for every kind
    };

    // Queue answers, consumed in order by the calls of the matching kind.
    void answerMessage(Answer answer, qsizetype times = 1);
    void answerFile(const QString &path) { m_answers.append({Kind::OpenFile, path}); } // empty: cancelled
    void answerFont(const std::optional<QFont> &font)
    {
        m_answers.append({Kind::Font, font ? QVariant(*font) : QVariant()});
    }

    // Queues answers from words: "Ok Cancel Yes No Retry" answer a message,
    // any other word a dialog of kind texts (a file dialog, below folder, or an
    // input box), "-" cancelling it.
    void answer(const QString &words, Kind texts = Kind::OpenFile, const QString &folder = {});

    // A message as the tests' tables write it, "icon buttons: text": the icon
    // one of ". x ! i ?" (none, critical, exclamation, information, question),
    // the buttons one of "ok okcancel yesno ync retry".
    static QString describe(const Message &message);

    // Run inside every message box, so a test sees the program as it is meanwhile.
    std::function<void()> whileAsked;

    const QList<Call> &calls() const { return m_calls; }
    QList<Call> messages() const;
    // Each message as "title icon buttons: text", "-" for tarnel's own title.
    QStringList asked() const;
    // Every call: its title, then a message as describe() writes it, an input
    // box "prompt [default]", any other "[folder] pattern"; a title or prompt
    // found in tags is written as its tag.
    QStringList log(const QHash<QString, QString> &tags = {}) const;
    void clear()
    {
        m_calls.clear();
        m_answers.clear();
    }
    // Number of queued answers nobody asked for.
    int unusedAnswers() const { return int(m_answers.size()); }

    using Dialogs::message;
    Answer message(const Message &message) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return text(Call {Kind::Input, {}, prompt, defaultText, {}, {}, titleOrDefault(title)}, prompt);
    }
    QString openFile(const FileRequest &request) override
    {
        return text(Call {Kind::OpenFile, {}, {}, {}, request, {}, request.title}, request.title);
    }
    QString saveFile(const FileRequest &request) override
    {
        return text(Call {Kind::SaveFile, {}, {}, {}, request, {}, request.title}, request.title);
    }
    std::optional<QFont> chooseFont(const QString &title, const QFont &current) override;

private:
    static QString entry(const Call &call, const QHash<QString, QString> &tags);
    std::optional<QVariant> take(Kind kind, const QString &what);
    // Records an input or file dialog and gives its answer, empty when none.
    QString text(const Call &call, const QString &what);

    QList<Call> m_calls;
    QList<QPair<Kind, QVariant>> m_answers;
};
