#pragma once

#include <QString>

namespace platform {

// Every effect the programs have on the system (starting processes, the
// current folder, sound, printing) and the two folders they ask the system
// for, behind one interface so that tests record them instead.
class System
{
public:
    System() = default;
    System(const System &) = delete;
    System &operator=(const System &) = delete;
    virtual ~System();

    // Folder of the running program file, ending in "/".
    virtual QString programFolder() const = 0;
    // Folder of the desktop's opener without a final "/"; empty when none.
    virtual QString windowsFolder() const = 0;

    // Each of these throws RuntimeFailure when the system refuses.
    virtual void startCommandLine(const QString &line) = 0;
    virtual void setCurrentFolder(const QString &path) = 0;
    // Prints text on the default printer in one piece, in the printer's own
    // face at pointSize.
    virtual void printText(const QString &text, int pointSize) = 0;

    // Never fails: a sound that cannot be played is silence.
    virtual void playSound(const QString &path) = 0;
};

} // namespace platform
