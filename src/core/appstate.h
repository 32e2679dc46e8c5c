#pragma once

#include <QString>

// What every page of the main program shares. It lives from start to end of
// the program and is complete when the context that holds it is made, so a
// model is whole without a window; each page's own data lives in its model
// (ProgramList, NotesDocument, PhoneBook, LaunchPad).
struct AppState
{
    // Folder of the program file, always ending in "/". Every data file of the
    // program is addressed from here, never from the current folder.
    QString ProgramFolder;
    // Folder of the desktop's opener, without a final "/".
    QString WindowsFolder;

    static inline const QString CrLf = QStringLiteral("\r\n");
    static inline const QString CrLf2 = QStringLiteral("\r\n\r\n");

    QString PersonalFolder() const { return ProgramFolder + QStringLiteral("My Tarnel"); }
};
