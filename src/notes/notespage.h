#pragma once

#include "saveoutcome.h"

#include <QWidget>

class AppContext;
class ClickLabel;
class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The "Записи" page: one plain-text document with its status line.
//
// The document is the content of Text and nothing else. In the program it is
// a string whose lines end in CR LF, where a lone LF is an ordinary character;
// documentText() and setDocumentText() cross between that string and the text
// box, which would otherwise turn both into the same paragraph break.
class NotesPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotesPage)

public:
    // The controls wait for buildControls, the first time the page is shown.
    explicit NotesPage(AppContext &context, QWidget *parent = nullptr);

    // Makes the controls, once.
    void buildControls();
    // The tooltip of cmdLoadLast names LastFile from now on, as it does once
    // the settings are read or a document is saved.
    void showLastFile();

    static QString initialStatus();

    QString documentText() const;
    // Replaces the document; nothing can be undone back into the old one.
    void setDocumentText(const QString &text);

    void Text_Change();
    void cmdFile_Click();
    void cmdEdit_Click();
    void mnuItemNew_Click();
    void mnuItemOpen_Click();
    void mnuItemSave_Click();
    SaveOutcome mnuItemSaveAs_Click();
    void cmdLoadLast_Click();
    void mnuItemInsDateTime_Click();
    void mnuItemPrint_Click();
    void mnuItemFont_Click();
    // Prints text on the default printer, offering to retry after a failure.
    void PrintText(const QString &text);

    // The document's part of the shut-down save: the current file is written
    // in place, a document without one goes through Save As.
    SaveOutcome shutdownSave();

    QPushButton *cmdFile = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdLoadLast = nullptr;
    QPushButton *cmdOpenFile = nullptr;
    QPushButton *cmdSaveText = nullptr;
    QPushButton *cmdPrintText = nullptr;
    QPlainTextEdit *Text = nullptr;
    ClickLabel *lblStatus = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuItemNew = nullptr;
    QAction *mnuItemOpen = nullptr;
    QAction *mnuItemSave = nullptr;
    QAction *mnuItemSaveAs = nullptr;
    QAction *mnuItemPrint = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuItemInsDateTime = nullptr;
    QAction *mnuItemFont = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SaveOutcome Save();
    SaveOutcome saveTo(const QString &path);
    bool acceptLostCharacters(const QString &text);
    void rememberLastFile(const QString &path);
    // False when the command must stop: the save the user agreed to failed.
    bool askToSaveFirst(const QString &question);
    // The file at path becomes the document, unless the read fails (and is reported).
    void openDocument(const QString &path, const QString &toolTip);
    void setStatus(const QString &caption, const QString &toolTip);

    AppContext &m_context;
    // The last document saved when the settings file cannot hold its name:
    // the user has been told, and "Открыть последний файл" loads it for the
    // rest of this run while the settings keep LastFile.
    QString m_unrememberedFile;
    QString lastFileToLoad() const;
    bool m_lastFileShown = false;
};
