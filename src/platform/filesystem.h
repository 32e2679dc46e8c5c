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

// Reads a whole file. A pipe, a socket or a device is refused at once (75,
// "Это не файл"), and so is a folder (75). Throws RuntimeFailure.
QByteArray readFile(const QString &path);

// Adds bytes at the end of an existing file and, with flush, waits until they
// are on the disk. Refuses what readFile refuses. Throws RuntimeFailure.
void appendToFile(const QString &path, const QByteArray &bytes, bool flush);

// Opens path for reading into file, for a caller that reads it piece by
// piece. Refuses what readFile refuses. Throws RuntimeFailure with the reason
// the system gave, which QFile alone does not keep.
void openForReading(QFile &file, const QString &path);

// Whether a save keeps the file it replaces as "NAME.bak" beside it: asked by
// a page whose file failed to load, so that the user's old data survive the
// first save of what the page could make of them.
enum class KeepOld { No, AsBackup };

// The one routine through which every data file of the program is saved.
// The bytes go to a hidden file beside path, which takes the old one's place
// only once it is complete, so a failure leaves the previous file whole and
// nothing behind. Where no file can be made beside path but path itself may
// be written, it is written in place; a file that may not be written is
// refused (70). Links are written through, mode and owner are kept, and a
// file with several hard links is written into. A pipe, a socket or a device
// is refused at once (75, "Это не файл"), never waited on. With
// KeepOld::AsBackup an existing file is first copied to "path.bak" (made
// anew with the file's permissions, or replacing an older one by these same
// rules); when that copy fails the save fails and path is untouched. Throws
// RuntimeFailure.
void writeDataFile(const QString &path, const QByteArray &bytes, KeepOld keepOld = KeepOld::No);

// What a file held when the program last read or wrote it, so that a change
// another program made since can be told: its size, its time of change and a
// hash of its bytes. A file that was not there has a stamp too.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // since the epoch
    QByteArray hash; // SHA-256 of the bytes
    bool operator==(const FileStamp &other) const
    {
        return exists == other.exists && size == other.size && modifiedNs == other.modifiedNs && hash == other.hash;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};

// The stamp of path as it is now, bytes being what it holds (just read or
// just written), so that no byte is read twice. Nothing fails: a file that
// cannot be examined is stamped as missing.
FileStamp stampOf(const QString &path, const QByteArray &bytes);
// Reads path for it.
FileStamp stampOf(const QString &path);
// Whether path holds what it held when stamped: the same size and either the
// same time or, when only the time differs, the same bytes.
bool unchangedSince(const QString &path, const FileStamp &stamp);

// How writeDataFile asks whether this user may write a native path: a file
// to write into, or a folder to make a file in. 0, or the system's reason
// (EACCES, EROFS...). The system's own answer unless replaced: root may write
// anything, so tests put an ordinary user's answers in its place.
using WriteAccess = int (*)(const QByteArray &nativePath);

// Puts test in place of the current WriteAccess (nullptr: the system's own)
// and returns the one it replaced.
WriteAccess setWriteAccess(WriteAccess test);

} // namespace platform::filesystem
