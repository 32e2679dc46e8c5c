#pragma once

#include "appcontext.h"
#include "launchpad.h"
#include "notesdocument.h"
#include "pagemodels.h"
#include "phonebook.h"
#include "programlist.h"
#include "recoverykeeper.h"
#include "tabcontrol.h"

#include <QWidget>

class QLabel;

// The main window of tarnel.
//
// frmMain owns the shared AppContext (state, dialogs, system routines) and
// the pages' models: the program list, the notes document, the phone book
// and the launch pads. Start-up (Form_Load) loads the models in order; each of
// the six pages of SSTab1, a class of its own subsystem, is made from its
// model when it is first shown. Shut-down (Form_Unload) asks once, saves the
// models and writes the settings file last, whichever pages were ever shown.
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
    ProgramList &programs() { return m_programs; }
    NotesDocument &document() { return m_document; }
    PhoneBook &phoneBook() { return m_phoneBook; }
    LaunchPad &launchPad() { return m_launchPad; }
    RecoveryKeeper &recovery() { return m_recovery; }
    // The page at index, made now if it was not shown yet.
    template<class P> P *page(Page index) { return qobject_cast<P *>(SSTab1->page(index)); }

    // The shut-down sequence. Returns false when a save the user asked for
    // failed: the window then stays open so that nothing is lost.
    bool Form_Unload();

    // Start-up's last step, once the window is shown: the work a program
    // ended without a question left behind is offered back.
    void offerRecovery() { m_recovery.offerBack(); }

    // Ended by the system without a question: the unsaved work is kept in
    // the recovery copy, and nothing else is written.
    void endWithoutQuestion() { m_recovery.writeNow(); }
    // The desktop session ends. Allowed to ask, the user is asked as at
    // shut-down, and false (a save failed) asks the session to go on; not
    // allowed, the unsaved work is kept in the recovery copy.
    bool sessionEnding(bool interactionAllowed);

    void LoadSettings();
    void SaveSettings();
    bool anythingChanged() const;

    QLabel *Image2;
    QLabel *Label1;
    TabControl *SSTab1;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void InitApplication();
    void showError(const QString &description);
    void centreOnScreen();
    void showIcon();

    AppContext m_context;
    ProgramList m_programs;
    NotesDocument m_document;
    PhoneBook m_phoneBook;
    LaunchPad m_launchPad;
    PageModels m_models {m_programs, m_document, m_phoneBook};
    RecoveryKeeper m_recovery;
    // A save asked for at shut-down failed: the copy outlives a close after it.
    bool m_shutdownSaveFailed = false;
};
