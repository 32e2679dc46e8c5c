#include "shoot_launchpad.h"

#include "dialogs.h"
#include "frmmain.h"
#include "gamespage.h"
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

namespace {

// Nothing is started or played: a hover only shows, and nothing is clicked.
class PadShotSystem final : public platform::System
{
public:
    explicit PadShotSystem(const QString &folder)
        : m_folder(folder)
    {
    }
    QString programFolder() const override { return m_folder; }
    QString windowsFolder() const override { return u"/usr/bin"_s; }
    void startCommandLine(const QString &) override { }
    void setCurrentFolder(const QString &) override { }
    void printText(const QString &, int) override { }
    void playSound(const QString &) override { }

private:
    QString m_folder;
};

class PadShotDialogs final : public platform::Dialogs
{
public:
    using Dialogs::message;
    Answer message(const Message &) override { return Answer::Ok; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const FileRequest &) override { return {}; }
    QString saveFile(const FileRequest &) override { return {}; }
    std::optional<QFont> chooseFont(const QString &, const QFont &) override { return std::nullopt; }
};

void savePadShot(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    if (!window->grab().save(path, "PNG"))
        qWarning("could not write %s", qPrintable(QDir::toNativeSeparators(path)));
}

} // namespace

void shootLaunchpad(const QString &outputFolder)
{
    QTemporaryDir programFolder;
    // An empty file stands in for the game: the page only asks whether it is there.
    QDir(programFolder.path()).mkpath(u"gillrun"_s);
    QFile gillrun(programFolder.filePath(u"gillrun/gillrun"_s));
    if (!gillrun.open(QIODevice::WriteOnly))
        qWarning("could not make the stand-in Gillrun");
    gillrun.close();

    PadShotDialogs dialogs;
    PadShotSystem system(programFolder.path() + u'/');
    frmMain window(dialogs, system);
    window.show();
    const QDir folder(outputFolder);

    window.SSTab1->setCurrentIndex(frmMain::PageTools);
    window.toolsPage->lblStart_MouseMove(2);
    savePadShot(&window, folder.filePath(u"tarnel-tools-hover.png"_s));

    window.SSTab1->setCurrentIndex(frmMain::PageGames);
    window.gamesPage->lblStartGame_MouseMove(2);
    savePadShot(&window, folder.filePath(u"tarnel-games-gillrun.png"_s));

    window.hide();
}
