#pragma once

#include <QString>

namespace platform {
class Dialogs;
}

// The open and save dialogs as the notes page and the program entry dialog
// ask for them: a filter of "description|pattern" pairs, a title, a file
// pattern and a starting folder in; the chosen full path out, or an empty
// string when the user cancelled. Both go through the one dialog object of
// the program, which keeps the last name and filter between uses.
QString ShowOpenDialog(platform::Dialogs &dialogs, const QString &filter, const QString &title, const QString &pattern,
                       const QString &initialFolder);
QString ShowSaveDialog(platform::Dialogs &dialogs, const QString &filter, const QString &title, const QString &pattern,
                       const QString &initialFolder);
