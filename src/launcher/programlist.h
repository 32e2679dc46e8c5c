#pragma once

#include "applistfile.h"
#include "saveoutcome.h"

#include <QObject>

class AppContext;

// The user's list of programs, without a window: loaded from "applist.tn" at
// start-up, changed by the page's commands and the entry dialog, saved by the
// page's command or at shut-down. The page shows it and refills on changed().
class ProgramList : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramList)

public:
    static constexpr int MaxApps = applistfile::MaxApps;

    explicit ProgramList(AppContext &context, QObject *parent = nullptr);

    // Slots 1 to AppCount hold the list.
    applistfile::Slots AppList;
    qint16 AppCount = 0;
    // Unsaved changes.
    bool StartCh = false;

    // Reads "applist.tn" from the program folder; reports every problem itself.
    void LoadAppList();
    // Writes the whole list; reports a failure itself. StartCh is cleared only
    // by a save that happened.
    SaveOutcome SaveAppList();

    // The commands: each sets StartCh and says changed().
    void add(const ProgramEntry &entry);
    void change(int position, const ProgramEntry &entry);
    void remove(int position);

Q_SIGNALS:
    void changed();

private:
    AppContext &m_context;
    // Set when the file was there but could not be loaded: the first save
    // that replaces it keeps it as "applist.tn.bak", since the user's entries
    // are in it and not in the list the page shows.
    bool m_keepOldFile = false;
};
