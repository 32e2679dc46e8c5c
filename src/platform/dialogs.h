#pragma once

#include <QFont>
#include <QString>

#include <optional>

namespace platform {

// Every modal dialog of both programs goes through this interface, so that
// tests can answer them from a script instead of a person.
class Dialogs
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Icon { None, Critical, Exclamation, Information, Question };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    struct Message
    {
        QString text;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString title; // empty: the program's default title
        int defaultButton = 0; // 0 first, 1 second, 2 third
    };

    // A filter is "description|pattern|description|pattern...".
    struct FileRequest
    {
        QString filter;
        QString title;
        QString pattern;
        QString initialFolder;
    };

    Dialogs() = default;
    Dialogs(const Dialogs &) = delete;
    Dialogs &operator=(const Dialogs &) = delete;
    virtual ~Dialogs();

    // The title shown by message boxes and input boxes given no title.
    void setDefaultTitle(const QString &title) { m_defaultTitle = title; }
    const QString &defaultTitle() const { return m_defaultTitle; }

    virtual Answer message(const Message &message) = 0;
    // Cancel gives an empty text, so an empty answer and Cancel are the same.
    virtual QString input(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // The chosen full path, or an empty string when cancelled.
    virtual QString openFile(const FileRequest &request) = 0;
    virtual QString saveFile(const FileRequest &request) = 0;
    // The chosen font, or nothing when cancelled. The face of current is
    // preset; size and style start from the previous use.
    virtual std::optional<QFont> chooseFont(const QString &title, const QFont &current) = 0;

    // Shorthand for the common case.
    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &title = QString());

protected:
    QString titleOrDefault(const QString &title) const { return title.isEmpty() ? m_defaultTitle : title; }

private:
    QString m_defaultTitle;
};

} // namespace platform
