#include "appcontext.h"

#include "filesystem.h"
#include "folders.h"
#include "runtimefailure.h"
#include "system.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

AppState stateOf(const platform::System &system)
{
    AppState state;
    state.ProgramFolder = system.programFolder();
    if (!state.ProgramFolder.endsWith(QLatin1Char('/')))
        state.ProgramFolder += QLatin1Char('/');
    // Only opening targets needs the opener's folder; start-up reports it missing.
    state.WindowsFolder = system.windowsFolder();
    return state;
}

} // namespace

AppContext::AppContext(platform::Dialogs &dialogs, platform::System &system)
    : state(stateOf(system))
    , dialogs(dialogs)
    , system(system)
{
    dialogs.setDefaultTitle(defaultTitle());
}

QString AppContext::defaultTitle()
{
    return QStringLiteral("Orvane Tarnel 2001");
}

void AppContext::showWaitPointer()
{
    if (m_mainWindow)
        m_mainWindow->setCursor(Qt::WaitCursor);
}

void AppContext::showDefaultPointer()
{
    if (m_mainWindow)
        m_mainWindow->unsetCursor();
}

AppContext::Answer AppContext::MsgBox(const QString &text, Buttons buttons, Icon icon, const QString &title)
{
    return dialogs.message(text, buttons, icon, title);
}

void AppContext::RunProgram(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    try {
        system.startCommandLine(commandLine);
    } catch (const platform::RuntimeFailure &failure) {
        MsgBox(QStringLiteral("Ошибка при запуске приложения:") + state.CrLf2 + commandLine + state.CrLf2
                   + failure.description(),
               Buttons::Ok, Icon::Critical);
    }
}

void AppContext::OpenWithExplorer(const QString &target)
{
    if (target.isEmpty())
        return;
    try {
        system.startCommandLine(state.WindowsFolder + QLatin1Char('/') + platform::folders::openerName()
                                + QLatin1Char(' ') + target);
    } catch (const platform::RuntimeFailure &failure) {
        MsgBox(QStringLiteral("Ошибка при запуске приложения Windows Explorer.") + state.CrLf2 + failure.description(),
               Buttons::Ok, Icon::Critical);
    }
}

void AppContext::PlaySoundFile(const QString &fileName)
{
    // Events already waiting are handled first, as the pages expect: a further
    // hover may run inside the caller before the sound starts.
    QCoreApplication::processEvents();
    system.playSound(fileName);
}

bool AppContext::FolderExists(const QString &path) const
{
    return platform::filesystem::folderExists(path);
}

bool AppContext::FileExists(const QString &path) const
{
    return platform::filesystem::fileExists(path);
}
