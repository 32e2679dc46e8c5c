#pragma once

// The seams as the benchmarks need them: a system that starts, prints and
// plays nothing, and dialogs answered without showing anything, so that a
// figure never waits for a user.

#include "appcontext.h"
#include "dialogs.h"
#include "system.h"

#include <QString>
#include <QTemporaryDir>

namespace bench {

class ScriptDialogs final : public platform::Dialogs
{
public:
    Answer messageAnswer = Answer::Ok;
    QString openPath;

    using Dialogs::message;
    Answer message(const Message &) override { return messageAnswer; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const FileRequest &) override { return openPath; }
    QString saveFile(const FileRequest &) override { return {}; }
    std::optional<QFont> chooseFont(const QString &, const QFont &) override { return std::nullopt; }
};

class StillSystem final : public platform::System
{
public:
    explicit StillSystem(QString folder = {})
        : folder(std::move(folder))
    {
    }
    QString folder;
    QString programFolder() const override { return folder; }
    QString windowsFolder() const override { return QStringLiteral("/usr/bin"); }
    void startCommandLine(const QString &) override { }
    void setCurrentFolder(const QString &) override { }
    void printText(const QString &, int) override { }
    void playSound(const QString &) override { }
};

// A program folder of its own with the state a page works with, as start-up
// leaves it.
struct PageContext
{
    QTemporaryDir folder;
    ScriptDialogs dialogs;
    StillSystem system {folder.path() + QLatin1Char('/')};
    AppContext context {dialogs, system};
};

} // namespace bench
