#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// What the pages hold unsaved, as one file outside the user's files: kept
// while something is unsaved, offered back at the next start of the same
// program folder. Every string is kept exactly (UTF-8), whatever the code
// page of the user's files could hold.
namespace recovery {

using Pair = std::array<QString, 2>;

struct Contents
{
    QDateTime written;
    bool hasNotes = false;
    QString notesText;
    QString notesFile; // the file the notes belong to; empty for a new document
    bool hasPrograms = false;
    QList<Pair> programs; // caption, command
    bool hasPhones = false;
    QList<Pair> phones; // name, number; every row of the grid
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
    Newer, // written by a newer version of the program
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
QString folderFor(const QString &programFolder);

// Made with mode 0700 where missing. Nothing when it cannot be made, or when
// it is not a folder of this user's that only this user may enter: the
// copies are then not kept at all.
std::optional<QString> privateFolder(const QString &programFolder);

// This running program's own copy in folder: each program keeps its own, so
// that two started on the same folder never write over each other's copy.
QString ownFileName();
bool isCopyName(const QString &name);
// Whether the program that keeps the copy of that name is still running.
bool ownerRunning(const QString &name);

// Through the safe write; a new file gets mode 0600. Throws
// platform::RuntimeFailure.
void write(const QString &path, const Contents &contents);
void write(const QString &path, const QByteArray &bytes);
// What is appended to a copy for the edits of its notes since: typing into a
// large document adds a few bytes to the copy instead of writing it again.
// A batch cut short by a power cut is passed over, with the typing in it.
// Added to the copy with platform::filesystem::appendToFile.
QByteArray journalBytes(const QDateTime &written, const QList<Edit> &edits);

// Moves a copy aside under a dated name, where no later start offers it, and
// returns that name's path; empty when it could not be moved.
QString keepAside(const QString &path, const QDateTime &now);

} // namespace recovery
