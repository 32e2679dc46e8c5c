#pragma once

#include "applistfile.h"
#include "filesystem.h"
#include "saveoutcome.h"

#include <QList>
#include <QObject>

class AppContext;

// The user's list of programs, without a window: loaded from "applist.tn" at
// start-up, changed by the page's commands and the entry dialog, saved by the
// page's command or at shut-down. The page shows it through a
// ProgramListModel, which follows the signals that name each change.
class ProgramList : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramList)

public:
    static constexpr int MaxApps = applistfile::MaxApps;
    // The position that stands for a new entry.
    static constexpr int Adding = -1;

    explicit ProgramList(AppContext &context, QObject *parent = nullptr);

    int count() const { return AppCount; }
    // position counted from 0.
    const ProgramEntry &entry(int position) const;
    QList<ProgramEntry> entries() const;
    bool hasUnsavedChanges() const { return StartCh; }
    // What "applist.tn" was when the list last read or wrote it.
    platform::filesystem::FileStamp fileStamp() const { return m_stamp; }

    // Reads "applist.tn" from the program folder; reports every problem itself.
    void LoadAppList();
    // Writes the whole list; reports a failure itself. The unsaved mark is
    // cleared only by a save that happened.
    SaveOutcome SaveAppList();

    // Whether another entry fits; when none does, tells the user so.
    bool roomToAdd();
    // The entry dialog's OK: adds the entry (position Adding) or changes the
    // one at position, unless the list is full or cannot take it as typed,
    // which it tells the user. Whether the entry was taken.
    bool enter(int position, const ProgramEntry &entry);

    // The commands: each marks the list unsaved, names its change and then
    // says changed().
    void add(const ProgramEntry &entry);
    void change(int position, const ProgramEntry &entry);
    // Removes the entry once the user agrees.
    void remove(int position);
    // Puts back the work of a recovery copy, which was never more than the
    // list holds; it is unsaved until the user saves it.
    void restore(const QList<ProgramEntry> &entries);

Q_SIGNALS:
    // After every change the signals below name, once they are sent.
    void changed();
    // Positions counted from 0, as the list is after the change.
    void entryInserted(int position);
    void entryRemoved(int position);
    void entryChanged(int position);
    // The whole list is another one.
    void reset();

private:
    AppContext &m_context;
    // Slots 1 to AppCount hold the list.
    applistfile::Slots AppList;
    qint16 AppCount = 0;
    bool StartCh = false;
    // Set when the file was there but could not be loaded: the first save
    // that replaces it keeps it as "applist.tn.bak", since the user's entries
    // are in it and not in the list the page shows.
    bool m_keepOldFile = false;
    platform::filesystem::FileStamp m_stamp;
};
