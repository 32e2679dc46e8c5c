#pragma once

#include "appcontext.h"
#include "saveoutcome.h"

#include <QWidget>

#include <functional>

class AboutPage;
class GamesPage;
class NotesPage;
class PhonePage;
class QLabel;
class RunPage;
class TabControl;
class ToolsPage;

// The main window of tarnel.
//
// frmMain owns the shared AppContext (state, dialogs, system routines) and
// hands it to the six pages of SSTab1, each a class of its own subsystem. The
// window itself only assembles the pages and runs the program's start-up
// (Form_Load: folders, personal folder, page data, settings) and shut-down
// (Form_Unload: the save question, the pages' saves, the settings file last).
class frmMain : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    enum Page { PageRun, PageNotes, PagePhones, PageTools, PageGames, PageAbout, PageCount };

    // Start-up runs here: the window is ready to show when this returns.
    frmMain(platform::Dialogs &dialogs, platform::System &system, QWidget *parent = nullptr);
    ~frmMain() override;

    AppContext &context() { return m_context; }

    // The pages make their controls when first shown; these make them now.
    void buildPage(int index);
    void buildAllPages();

    // What the pages save at shut-down, in this order, when their flag is set
    // and the user answers Yes. Each page that can set a flag registers its
    // saver here; a flag whose saver is missing is never cleared, since
    // nothing was saved. Failed keeps the window open (the saver has said
    // why); Cancelled (the user closed Save As) lets shut-down go on unsaved.
    struct ShutdownSaves
    {
        std::function<SaveOutcome()> document; // Change
        std::function<SaveOutcome()> appList; // StartCh
        std::function<SaveOutcome()> phoneBook; // PhoneCh
    };
    ShutdownSaves shutdownSaves;

    // The shut-down sequence. Returns false when a save the user asked for
    // failed: the window then stays open so that nothing is lost.
    bool Form_Unload();

    void LoadSettings();
    void SaveSettings();
    void lblStatus_Click();
    void Label5_Click();

    QLabel *Image2;
    QLabel *Label1;
    TabControl *SSTab1;
    RunPage *runPage;
    NotesPage *notesPage;
    PhonePage *phonePage;
    ToolsPage *toolsPage;
    GamesPage *gamesPage;
    AboutPage *aboutPage;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void InitApplication();
    void showError(const QString &description);
    void centreOnScreen();

    AppContext m_context;
};
