#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Files and folders the way the program's routines expect them: existence
// tests that see ordinary, visible entries only, and whole-file reads and
// writes whose failures are RuntimeFailure.
namespace platform::filesystem {

// True when a regular, visible file matches path. "*" and "?" in the last
// part of the path match as patterns. Folders and names beginning with "."
// are not seen. A search that cannot be made (a name too long: 52, a loop of
// links: 57, a folder that may not be searched: 70) throws RuntimeFailure; a
// missing entry, or one below an ordinary file, is simply false.
bool fileExists(const QString &path);

// As fileExists, but folders are seen too.
bool folderExists(const QString &path);

// Creates one folder (its parent must exist). Throws RuntimeFailure.
void createFolder(const QString &path);

// Reads a whole file. Throws RuntimeFailure.
QByteArray readFile(const QString &path);

// Opens path for reading into file, for a caller that reads it piece by
// piece. Throws RuntimeFailure with the reason the system gave, which QFile
// alone does not keep.
void openForReading(QFile &file, const QString &path);

// Replaces the content of path with bytes so that a failure at any point
// leaves the previous file whole: the bytes go to a new file beside it, which
// takes the old one's place only once it is complete. Throws RuntimeFailure.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// Writes bytes to path, creating or truncating it first, as a plain
// sequential write does. Throws RuntimeFailure; what was written before a
// failure stays in the file.
void writeFile(const QString &path, const QByteArray &bytes);

} // namespace platform::filesystem
