#include "comdlg.h"

#include "dialogs.h"

QString ShowOpenDialog(platform::Dialogs &dialogs, const QString &filter, const QString &title, const QString &pattern,
                       const QString &initialFolder)
{
    return dialogs.openFile({filter, title, pattern, initialFolder});
}

QString ShowSaveDialog(platform::Dialogs &dialogs, const QString &filter, const QString &title, const QString &pattern,
                       const QString &initialFolder)
{
    return dialogs.saveFile({filter, title, pattern, initialFolder});
}
