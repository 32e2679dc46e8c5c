#pragma once

#include "claim.h"
#include "codepage.h"
#include "filesystem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the pages hold unsaved, as one file outside the user's files: kept
// while something is unsaved, offered back at the next start of the same
// program folder. Every string is kept exactly (UTF-8), whatever the code
// page of the user's files could hold.
namespace recovery {

using Pair = std::array<QString, 2>;

// Each part's base is what its file was when the work was last read from it
// or written to it, so that a file another program changed since is told at
// the restore; nothing when not known (a copy of an older version). Kept
// only with its part.
struct Contents
{
    using Stamp = std::optional<platform::filesystem::FileStamp>;
    QDateTime written;
    bool hasNotes = false;
    QString notesText;
    QString notesFile; // the file the notes belong to; empty for a new document
    Stamp notesBase;
    // How the notes' file is written; kept only when not the default, so that
    // a copy of the code page reads as before.
    platform::codepage::Encoding notesEncoding;
    bool hasPrograms = false;
    QList<Pair> programs; // caption, command
    Stamp programsBase;
    bool hasPhones = false;
    QList<Pair> phones; // name, number; every row of the grid
    Stamp phonesBase;
    bool empty() const { return !hasNotes && !hasPrograms && !hasPhones; }
};

// One edit of the notes as the document holds them (U+2029 between
// paragraphs, U+2028 for a lone line feed, a final U+2029): added takes the
// place of removed characters at position.
struct Edit
{
    int position;
    int removed;
    QString added;
};
// Applies edits in turn, passing over any that does not fit the text.
void replay(QString &raw, const QList<Edit> &edits);

// The file's bytes; the version in its first line lets a newer program's copy
// be told from damage.
QByteArray bytes(const Contents &contents);
// The same into out, whose room is kept for the next copy. rawNotes, when not
// null, stand for contents.notesText as the document holds them (U+2029
// between paragraphs, U+2028 for a lone line feed): a large document is then
// neither converted nor encoded into a copy of its own first.
void bytesInto(QByteArray &out, const Contents &contents, QStringView rawNotes = {});

enum class ReadFailure {
    Damaged, // not a copy, cut short, or with something that does not parse
    Newer, // written by a newer version of the program: left as it is, for that version to offer
    NotAFile, // a folder, a pipe, a device or a link in its place
    TooLarge,
    Unreadable, // the system refused it
};

struct ReadResult
{
    std::optional<Contents> contents;
    ReadFailure failure = ReadFailure::Damaged; // when contents is empty
};

ReadResult parse(const QByteArray &bytes);
// Never waits on a pipe and never follows a link.
ReadResult readFile(const QString &path);

// The folder of the copies of one program folder: $XDG_STATE_HOME (or
// ~/.local/state)/orvane-tarnel/<a hash of the folder's canonical path>.
// Only computed, nothing is made. Empty when there is no home to put it in
// (HOME unset or not absolute, and XDG_STATE_HOME not absolute): then no
// copies are kept.
QString folderFor(const QString &programFolder);

enum class FolderState {
    Absent, // not there yet (or no folder at all): nothing to offer
    Private, // a folder of this user's that no one else may enter
    Refused, // anything else in its place: nothing is kept or read there
};
// What is at folder now; makes nothing.
FolderState folderState(const QString &folder);

// The folder of the copies, made on the first need: every missing folder on
// the way is made with mode 0700 whatever the umask. Nothing when it cannot
// be made or is not Private: the copies are then not kept at all.
std::optional<QString> privateFolder(const QString &programFolder);

// Through the safe write; a new file gets mode 0600. A write that fails
// leaves the copy before it whole, or no file where there was none. Throws
// platform::RuntimeFailure.
void write(const QString &path, const Contents &contents);
void write(const QString &path, const QByteArray &bytes);
// What is appended to a copy for the edits of its notes since: typing into a
// large document adds a few bytes to the copy instead of writing it again.
// A batch cut short by a power cut is passed over, with the typing in it.
// Added to the copy with platform::filesystem::appendToFile.
QByteArray journalBytes(const QDateTime &written, const QList<Edit> &edits);

// Moves a copy aside under a dated name, where no later start offers it, and
// returns that name's path; empty when it could not be moved. Nothing here
// removes a copy set aside: only the user does.
QString keepAside(const QString &path, const QDateTime &now);
// The paths of the copies set aside in folder, newest first.
QStringList keptAside(const QString &folder);
// Gives a copy set aside a copy's name again, so that the next offer sees it,
// and returns its new path; empty when it could not be renamed.
QString putBack(const QString &keptPath);

} // namespace recovery
