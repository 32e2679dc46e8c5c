#pragma once

#include <QString>

namespace platform::folders {

// The suffix of program files: empty here, ".exe" on Windows.
QString executableSuffix();

// The folder of the running program file, always ending in "/".
QString programFolder();

// The folder holding the desktop's opener (xdg-open) on PATH, without a final
// "/"; empty when there is none (as when the system reports 0 characters).
QString windowsFolder();

// The file name of the opener inside windowsFolder(): "xdg-open".
QString openerName();

// Makes path the current folder of the process. Throws RuntimeFailure.
void setCurrent(const QString &path);

} // namespace platform::folders
