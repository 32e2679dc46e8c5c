#pragma once

#include <QString>
#include <QStringList>

// Command lines written the Windows way ("C:\prog.exe" args, unquoted paths
// with blanks) started on this system without a shell.
namespace platform::commandline {

struct Parsed
{
    QString program; // as found: a path to an existing file where one was found
    QStringList arguments;
};

// Splits a command line. currentFolder is where names without "/" are looked
// for first, then each folder of searchPath (PATH's format). The opener takes
// the whole rest of the line as its one target, surrounding quotes removed.
Parsed parse(const QString &line, const QString &currentFolder, const QString &searchPath);

// The arguments after the program, split as the Windows C runtime splits them:
// blanks separate, double quotes group and are removed, backslashes before a
// quote escape it.
QStringList splitArguments(const QString &tail);

// Starts line detached in the current folder, never waiting. A start that
// fails throws RuntimeFailure with a Russian description: 53 when the
// program is not there (or the line is blank), 76 when a folder of its path
// is missing or is a file, 75 when it names a folder or other non-file, 70
// when it is not executable or the system cannot run it, 52 for a name too
// long.
void start(const QString &line);

} // namespace platform::commandline
