#pragma once

#include <QString>

// What every page of the main program shares. It lives from start to end of
// the program and is set once at start-up; each page's own data lives in its
// model (ProgramList, NotesDocument, PhoneBook, LaunchPad).
struct AppState
{
    // Folder of the program file, always ending in "/". Every data file of the
    // program is addressed from here, never from the current folder.
    QString ProgramFolder;
    // Folder of the desktop's opener, without a final "/".
    QString WindowsFolder;

    QString CrLf;
    QString CrLf2;

    QString PersonalFolder() const { return ProgramFolder + QStringLiteral("My Tarnel"); }
};
