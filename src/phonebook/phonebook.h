#pragma once

#include "filesystem.h"
#include "phonegrid.h"
#include "saveoutcome.h"

#include <QObject>

#include <functional>
#include <optional>

class AppContext;

// The phone book without a window: 50 rows of a name and a number, loaded
// from "phones.tn" at start-up, changed by the five commands, saved by the
// save command or at shut-down. The commands ask through the dialogs only;
// the page shows the rows through a PhoneBookModel, which follows the signals
// that name each change, and follows changed() and currentCellMoved().
class PhoneBook : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneBook)

public:
    static constexpr qint16 Rows = 50;

    explicit PhoneBook(AppContext &context, QObject *parent = nullptr);

    static QString fileName() { return QStringLiteral("phones.tn"); }

    const PhoneGrid &grid() const { return m_grid; }
    bool hasUnsavedChanges() const { return PhoneCh; }
    // Every row of the grid, empty ones too, as a recovery copy keeps them.
    QList<PhoneGrid::Row> rows() const { return m_grid.rows(); }
    // Puts back the work of a recovery copy: the rows (no more than Rows) from
    // the top, the current cell on the first one, and the book unsaved.
    void restore(const QList<PhoneGrid::Row> &rows);
    // What "phones.tn" held when the book last read or wrote it, so that a
    // change another program made since can be told.
    platform::filesystem::FileStamp fileStamp() const { return m_stamp; }
    // The cell the user picked in the view, which shows it already.
    void pickCell(int row, int col) { m_grid.setCurrentCell(row, col); }

    // Reads the phone book at start-up. Rows the grid cannot hold, and a
    // failed read, are told to the user, and the first save then keeps the
    // old file beside the new one.
    void LoadPhone();
    // Saved, or Failed after the failure was reported; the changes stay unsaved then.
    SaveOutcome SavePhone();

    // Puts a new entry on top; a full book is refused before anything is asked.
    void addEntry();
    // Changes the entry of the current cell, or fills the first free row.
    void editEntry();
    // Removes the row of the current cell once the user agrees.
    void deleteEntry();
    // Empties every cell once the user agrees.
    void clearAll();

    // "1 запись", "3 записи", "49 записей".
    static QString entriesCounted(int count);

    // The conversion SavePhone uses; a test may make it fail.
    std::function<std::optional<QString>(PhoneGrid &)> gridToText;

Q_SIGNALS:
    // After every change of the cells, once the signals below that name it
    // are sent and the current cell is where the change leaves it.
    void changed();
    void currentCellMoved();
    // Rows counted from 0 as the grid is at that signal: a command that puts
    // in one row and takes out another says both, in the order they happen.
    void rowInserted(int row);
    void rowRemoved(int row);
    // The cells of the rows first to last.
    void rowsChanged(int first, int last);
    // Every row is another one.
    void reset();

private:
    QString filePath() const;
    // The name or number for add and edit: nothing when the user cancelled or
    // gave a text the file cannot keep (already said).
    std::optional<QString> askCell(const QString &prompt, const QString &title, const QString &defaultText);
    void moveCurrentCell(int row, int col);

    AppContext &m_context;
    PhoneGrid m_grid;
    // Unsaved changes.
    bool PhoneCh = false;
    platform::filesystem::FileStamp m_stamp;
    // Set while the file on disk holds more than the grid: the next save
    // keeps it as "phones.tn.bak".
    bool m_keepOldFile = false;
};
