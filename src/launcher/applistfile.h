#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class QIODevice;

// The program list file "applist.tn": a "[general]" section whose "max" is
// the number of entries, then one section "[t1]" ... "[tN]" per entry with
// its "cap" and "cmd". Nothing here talks to the user; the page turns the
// outcomes into its messages.
struct ProgramEntry
{
    QString Caption;
    QString Command;
};

namespace applistfile {

// The list holds at most this many entries, in slots 1 to MaxApps; slot 0 is
// never used.
constexpr int MaxApps = 100;
using Slots = std::array<ProgramEntry, MaxApps + 1>;

QString fileName();

enum class Outcome {
    Loaded, // slots 1 to count hold the list
    CountOutOfRange, // "max" below 1 or above 100; no slot was touched
    SavedEmpty, // "max" 0 in exactly the file the program writes for no entries: nothing is lost
    MissingCommand, // an entry has no command; the slots up to it were overwritten
};

struct ReadResult
{
    Outcome outcome;
    qint16 count; // the "max" read
};

// Reads the list from file, which is open for reading, through the key-value
// reader, in one pass however long the file. An entry without a caption gets
// "Приложение" and its number. Throws platform::RuntimeFailure when "max" is
// not a number (type mismatch) or does not fit in 16 bits (overflow).
ReadResult read(QIODevice &file, Slots &list);

// The whole file for entries 1 to count, each line ending in CR LF.
QByteArray bytes(const Slots &list, qint16 count);

// Why a caption or command could not come back from the file as it was
// typed: a line break would end its line early, and a character the code
// page cannot hold would come back as "?".
struct Unstorable
{
    enum Reason { None, LineBreak, Character };
    Reason reason = None;
    char32_t character = 0; // Character: the first one found
};
Unstorable checkStorable(const QString &text);

} // namespace applistfile
