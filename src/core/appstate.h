#pragma once

#include <QString>

#include <array>

struct ProgramEntry
{
    QString Caption;
    QString Command;
};

// The state every page of the main program shares. It lives from start to
// end of the program and is never reset; the pages read and write it directly.
struct AppState
{
    // Folder of the program file, always ending in "/". Every data file of the
    // program is addressed from here, never from the current folder.
    QString ProgramFolder;
    // Folder of the desktop's opener, without a final "/".
    QString WindowsFolder;
    // The notes document: where it was opened from or saved to, and the last
    // document saved (kept in the settings file).
    QString CurrentFile;
    QString LastFile;

    // Unsaved changes of the notes document, the program list, the phone book.
    bool Change = false;
    bool StartCh = false;
    bool PhoneCh = false;

    // Hover indexes of the tools and games pages; -1 is "none yet".
    qint16 AON = 0;
    qint16 AONgame = 0;

    std::array<QString, 5> ToolDescriptions;
    std::array<QString, 3> GameDescriptions;

    QString CrLf;
    QString CrLf2;

    // The program list, slots 1 to 100; slot 0 is never used.
    static constexpr int MaxApps = 100;
    std::array<ProgramEntry, MaxApps + 1> AppList;
    qint16 AppCount = 0;

    QString PersonalFolder() const { return ProgramFolder + QStringLiteral("My Tarnel"); }
    bool anythingChanged() const { return Change || StartCh || PhoneCh; }
};
