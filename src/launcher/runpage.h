#pragma once

#include "saveoutcome.h"

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class AppContext;
class QLabel;
class QPushButton;
class frmDetails;

// The list box of the "Запуск" page. A click on empty space keeps the
// selection, and a double click anywhere is reported, so that the page
// decides from the selection alone what a double click means.
class RunListBox : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunListBox)

public:
    explicit RunListBox(QWidget *parent = nullptr);

    // The selected position, or -1. The current row is no guide: giving the
    // list focus makes row 0 current with nothing selected.
    int selectedPosition() const;

Q_SIGNALS:
    void dblClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The "Запуск" page: the user's own list of programs to start. The list
// itself lives in the shared state (AppList, AppCount, StartCh); the page
// reads and writes it, shows it in RunList and opens frmDetails to add or
// change an entry.
class RunPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunPage)

public:
    // The controls wait for buildControls: a page nobody has looked at yet
    // costs the start-up nothing but its list in the shared state.
    explicit RunPage(AppContext &context, QWidget *parent = nullptr);
    ~RunPage() override;

    // Makes the controls, once, showing the list as it stands.
    void buildControls();

    // Reads "applist.tn" from the program folder; reports every problem itself.
    void LoadAppList();
    // Writes the whole list; reports a failure itself.
    SaveOutcome SaveAppList();
    void FillRunList();

    void cmdRunApp_Click();
    void RunList_DblClick();
    void cmdAddApp_Click();
    void cmdChangeApp_Click();
    void cmdDelApp_Click();
    void cmdSaveChanges_Click();

    // The entry dialog while it is open, else null.
    frmDetails *details() const;

    QLabel *Label2 = nullptr;
    RunListBox *RunList = nullptr;
    QPushButton *cmdRunApp = nullptr;
    QPushButton *cmdAddApp = nullptr;
    QPushButton *cmdChangeApp = nullptr;
    QPushButton *cmdDelApp = nullptr;
    QPushButton *cmdSaveChanges = nullptr;

private:
    void runSelected();
    frmDetails *openDetails(const QString &caption);
    void askToSelect();
    QWidget *mainWindow();

    AppContext &m_context;
    QPointer<frmDetails> m_details;
    // Set when the file was there but could not be loaded: the first save
    // that replaces it keeps it as "applist.tn.bak", since the user's entries
    // are in it and not in the list the page shows.
    bool m_keepOldFile = false;
};
