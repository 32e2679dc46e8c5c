#pragma once

#include <QWidget>

class AppContext;
class ClickLabel;
class NotesDocument;
class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The "Записи" page: shows the NotesDocument in Text with its status line,
// and runs the document's commands from the buttons and the two pop-up menus.
class NotesPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotesPage)

public:
    NotesPage(AppContext &context, NotesDocument &document, QWidget *parent = nullptr);

    void cmdFile_Click();
    void cmdEdit_Click();
    void mnuItemFont_Click();
    void lblStatus_Click();

    QPushButton *cmdFile;
    QPushButton *cmdEdit;
    QPushButton *cmdLoadLast;
    QPushButton *cmdOpenFile;
    QPushButton *cmdSaveText;
    QPushButton *cmdPrintText;
    QPlainTextEdit *Text;
    ClickLabel *lblStatus;
    QMenu *mnuFile;
    QAction *mnuItemNew;
    QAction *mnuItemOpen;
    QAction *mnuItemSave;
    QAction *mnuItemSaveAs;
    QAction *mnuItemPrint;
    QMenu *mnuEdit;
    QAction *mnuItemInsDateTime;
    QAction *mnuItemFont;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeMenus();
    // Where a button's menu opens: at the pointer for a mouse click, under the
    // button's left edge when pressed from the keyboard, where the user looks
    // and the pointer may be anywhere on the screen.
    QPoint menuPlace(const QPushButton *button);
    // The buttons run the document's commands; the controls show what it reports.
    void connectControls();

    AppContext &m_context;
    NotesDocument &m_document;
    // The last press of a menu button was a mouse click on it.
    bool m_menuByMouse = false;
};
