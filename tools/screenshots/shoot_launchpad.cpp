#include "shoot_launchpad.h"

#include "dialogs.h"
#include "frmmain.h"
#include "gamespage.h"
#include "shotsupport.h"
#include "system.h"
#include "tabcontrol.h"
#include "toolspage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QString>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

void shootLaunchpad(const QString &outputFolder)
{
    QTemporaryDir programFolder;
    // An empty file stands in for the game: the page only asks whether it is there.
    QDir(programFolder.path()).mkpath(u"gillrun"_s);
    QFile gillrun(programFolder.filePath(u"gillrun/gillrun"_s));
    if (!gillrun.open(QIODevice::WriteOnly))
        qWarning("could not make the stand-in Gillrun");
    gillrun.close();

    shots::SilentDialogs dialogs;
    // Nothing is started or played: a hover only shows, and nothing is clicked.
    shots::StillSystem system(programFolder.path() + u'/');
    frmMain window(dialogs, system);
    window.show();
    const QDir folder(outputFolder);

    window.SSTab1->setCurrentIndex(frmMain::PageTools);
    window.page<ToolsPage>(frmMain::PageTools)->lblStart_MouseMove(2);
    shots::save(window, folder.filePath(u"tarnel-tools-hover.png"_s));

    window.SSTab1->setCurrentIndex(frmMain::PageGames);
    window.page<GamesPage>(frmMain::PageGames)->lblStartGame_MouseMove(2);
    shots::save(window, folder.filePath(u"tarnel-games-gillrun.png"_s));

    window.hide();
}
