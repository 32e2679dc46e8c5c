#pragma once

#include "codepage.h"
#include "filesystem.h"
#include "saveoutcome.h"

#include <QObject>
#include <QString>

class AppContext;
class QTextDocument;

// The notes document without a window: its text, the file it belongs to, the
// last file saved, the modified flag and the status line, and the commands
// that open, save and print it. The page shows the text in its text box and
// the status in its label; the shut-down save works whether or not the page
// was ever shown.
//
// In the program the text is a string whose lines end in CR LF, where a lone
// LF is an ordinary character; documentText() and setDocumentText() cross
// between that string and the text document, which would otherwise turn both
// into the same paragraph break.
class NotesDocument : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotesDocument)

public:
    explicit NotesDocument(AppContext &context, QObject *parent = nullptr);
    ~NotesDocument() override;

    // Where the document was opened from or saved to; empty for a new one.
    QString currentFile() const { return CurrentFile; }
    // The last document saved, as the settings file keeps it.
    QString lastFile() const { return LastFile; }
    bool hasUnsavedChanges() const { return Change; }
    // What the current file held when the document last opened or saved it
    // (or, after restore(), when the work was put back), so that a change
    // another program made since can be told; a new document has none.
    platform::filesystem::FileStamp fileStamp() const { return m_fileStamp; }
    // How the document is saved: as the file it was opened from held its
    // text, and the code page for a new one.
    platform::codepage::Encoding encoding() const { return m_encoding; }

    // The text as a text box shows it, with the undo history.
    QTextDocument *document() const { return m_document; }
    QString documentText() const;
    // documentText() in two steps: the document's own text, taken at the
    // cost of a copy, and its conversion, which may run on another thread.
    QString rawText() const;
    static QString textOfRaw(QString raw);
    // Replaces the document; nothing can be undone back into the old one.
    void setDocumentText(const QString &text);
    // Work a recovery copy gives back: text becomes the document of file
    // (empty: a new one, so that saving asks where) in encoding, still
    // unsaved, with nothing to undo back into the text it replaced.
    void restore(const QString &text, const QString &file, platform::codepage::Encoding encoding = {});

    static QString initialStatus();
    QString status() const { return m_status; }
    QString statusToolTip() const { return m_statusToolTip; }
    QString loadLastToolTip() const { return m_loadLastToolTip; }

    // The settings have given the last file: the button names it from now on.
    void setLastFile(const QString &path);

    // Every change of the text, on every keystroke.
    void Text_Change();

    void newDocument();
    void open();
    SaveOutcome save();
    SaveOutcome saveAs();
    void loadLast();
    void insertDateTime();
    void print();
    // Prints text on the default printer, offering to retry after a failure.
    void PrintText(const QString &text);
    // The document's part of the shut-down save: the current file is written
    // in place, a document without one goes through Save As.
    SaveOutcome shutdownSave();

Q_SIGNALS:
    void statusChanged();
    void loadLastToolTipChanged();
    // A command has ended where the user goes on typing.
    void textFocusWanted();
    // The whole text is another one (New, Open): a view starts again at its
    // beginning, where the insertion would otherwise have moved it to the end.
    void textReplaced();

private:
    void replaceText(const QString &paragraphs);
    SaveOutcome saveTo(const QString &path);
    bool acceptLostCharacters(const QString &text);
    void showLastFile();
    void rememberLastFile(const QString &path);
    QString lastFileToLoad() const;
    // False when the command must stop: the save the user agreed to failed.
    bool askToSaveFirst(const QString &question);
    // The file at path becomes the document, unless the read fails (and is reported).
    void openDocument(const QString &path, const QString &toolTip);
    void setStatus(const QString &caption, const QString &toolTip);

    QString CurrentFile;
    QString LastFile;
    // Unsaved changes: set by every edit, cleared only by a save or a new or
    // opened document.
    bool Change = false;
    AppContext &m_context;
    QTextDocument *m_document;
    QString m_status;
    QString m_statusToolTip;
    QString m_loadLastToolTip;
    // The last document saved when the settings file cannot hold its name:
    // the user has been told, and "Открыть последний файл" loads it for the
    // rest of this run while the settings keep LastFile.
    QString m_unrememberedFile;
    platform::filesystem::FileStamp m_fileStamp;
    platform::codepage::Encoding m_encoding;
};
