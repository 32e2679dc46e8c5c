#pragma once

#include "programlist.h"

#include <QDialog>
#include <QPointer>

class AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

// The entry dialog of the "Запуск" page, adding an entry or changing one. It
// is shown without blocking while the main window is disabled, writes the
// entry into the list itself on OK, and enables the main window again on
// every way out. It deletes itself when it closes, so every opening starts
// afresh.
class frmDetails : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDetails)

public:
    // Adds a new entry, or changes the one at position, counted from 0.
    static constexpr int Adding = ProgramList::Adding;

    // mainWindow is disabled by the caller and enabled here on closing.
    frmDetails(AppContext &context, ProgramList &list, int position, QWidget *mainWindow);
    ~frmDetails() override;

    QLabel *Label1;
    QLineEdit *txtTitle;
    QLabel *Label2;
    QLineEdit *txtPath;
    QPushButton *cmdBrowse;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Escape does nothing: no button of the dialog answers it, and only OK,
    // Отмена and the close box end it.
    void reject() override;

    // The control the keyboard goes back to on closing: disabling the main
    // window took it from the button that opened the dialog.
    void setFocusOnClose(QWidget *control) { m_focusOnClose = control; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Unload();

    AppContext &m_context;
    ProgramList &m_list;
    const int m_position;
    QWidget *m_mainWindow;
    QPointer<QWidget> m_focusOnClose;
};
