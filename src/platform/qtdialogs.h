#pragma once

#include "dialogs.h"

#include <QFont>
#include <QString>

class QWidget;

namespace platform {

// The real dialogs. Like a common dialog control, one instance remembers what
// the callers do not set: the last file name, the last filter entry, the font
// size and style of the previous use.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr);

    void setParent(QWidget *parent) { m_parent = parent; }

    using Dialogs::message;
    Answer message(const Message &message) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFile(const FileRequest &request) override;
    QString saveFile(const FileRequest &request) override;
    std::optional<QFont> chooseFont(const QString &title, const QFont &current) override;

private:
    QString runFileDialog(const FileRequest &request, bool save);

    QWidget *m_parent;
    QString m_lastFile;
    int m_lastFilterIndex = 0;
    std::optional<QFont> m_lastFont;
};

} // namespace platform
