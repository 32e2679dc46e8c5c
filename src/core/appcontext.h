#pragma once

#include "appstate.h"
#include "dialogs.h"

#include <QString>

class QWidget;

namespace platform {
class System;
}

// What every page of the main program works with: the shared state, the
// dialogs, the system, and the small routines through which the pages reach
// the system (start a program, open a target, play a sound, test for files).
class AppContext
{
public:
    using Buttons = platform::Dialogs::Buttons;
    using Icon = platform::Dialogs::Icon;
    using Answer = platform::Dialogs::Answer;

    // The program folder and the opener's folder are asked of system here.
    AppContext(platform::Dialogs &dialogs, platform::System &system);
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    const AppState state;
    platform::Dialogs &dialogs;
    platform::System &system;

    // The window whose pointer shows the hourglass while the program works.
    void setMainWindow(QWidget *window) { m_mainWindow = window; }
    QWidget *mainWindow() const { return m_mainWindow; }
    void showWaitPointer();
    void showDefaultPointer();

    Answer MsgBox(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                  const QString &title = QString());

    // Starts a command line without waiting; a failure is reported here.
    void RunProgram(const QString &commandLine);
    // Opens a folder, file or web address with the desktop's opener.
    void OpenWithExplorer(const QString &target);
    // Plays a wave file in the background; never reports anything.
    void PlaySoundFile(const QString &fileName);
    // Both throw platform::RuntimeFailure when the search cannot be made.
    bool FolderExists(const QString &path) const;
    bool FileExists(const QString &path) const;

    static QString defaultTitle();

private:
    QWidget *m_mainWindow = nullptr;
};
