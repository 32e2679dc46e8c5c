#pragma once

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class AppContext;
class QLabel;
class ProgramList;
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

// The "Запуск" page: the user's own list of programs to start. It shows the
// ProgramList in RunList, runs its commands and opens frmDetails to add or
// change an entry.
class RunPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunPage)

public:
    RunPage(AppContext &context, ProgramList &list, QWidget *parent = nullptr);
    ~RunPage() override;

    void FillRunList();

    void cmdRunApp_Click();
    void RunList_DblClick();
    void cmdAddApp_Click();
    void cmdChangeApp_Click();
    void cmdDelApp_Click();
    void cmdSaveChanges_Click();

    // The entry dialog while it is open, else null.
    frmDetails *details() const;

    QLabel *Label2;
    RunListBox *RunList;
    QPushButton *cmdRunApp;
    QPushButton *cmdAddApp;
    QPushButton *cmdChangeApp;
    QPushButton *cmdDelApp;
    QPushButton *cmdSaveChanges;

private:
    void runSelected();
    void openDetails(int position, QPushButton *pressed);
    void askToSelect();

    AppContext &m_context;
    ProgramList &m_list;
    QPointer<frmDetails> m_details;
};
