#pragma once

#include <QListView>
#include <QPointer>
#include <QWidget>

class AppContext;
class QLabel;
class ProgramList;
class ProgramListModel;
class QPushButton;
class frmDetails;

// The list box of the "Запуск" page. The current entry is the selected one,
// whichever way it became current; a click on empty space keeps the
// selection, and a double click anywhere is reported, so that the page
// decides from the selection alone what a double click means.
class RunListBox : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunListBox)

public:
    explicit RunListBox(QWidget *parent = nullptr);

    // The selected position, or -1.
    int selectedPosition() const;

Q_SIGNALS:
    void dblClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    // Giving the list focus makes row 0 current, and a Ctrl+click takes the
    // selection off the current entry: both leave the entry the user sees
    // marked unselected, which the page's commands would refuse.
    void selectCurrent();
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
    ProgramListModel *m_shown;
    QPointer<frmDetails> m_details;
};
