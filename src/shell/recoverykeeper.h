#pragma once

#include "recoverycopy.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>

class AppContext;
class NotesDocument;
class PhoneBook;
class ProgramList;

// Keeps a copy of what the pages hold unsaved, outside the user's files, so
// that a program ended without a question (a signal, a crash, a power cut)
// loses at most the last seconds of typing, and offers it back at the next
// start. The copy is written at once when something first becomes unsaved,
// then at most one delay after each change; the text is taken on the
// window's thread and written on a thread of its own, so a keystroke never
// waits for a write. The user's own files are never touched here.
class RecoveryKeeper : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecoveryKeeper)

public:
    RecoveryKeeper(AppContext &context, ProgramList &programs, NotesDocument &document, PhoneBook &phoneBook,
                   QObject *parent = nullptr);
    // Waits for a write under way; the copy stays.
    ~RecoveryKeeper() override;

    static constexpr int defaultDelayMs = 2000;
    // Characters of one edit above which the edit is not followed but the
    // whole text taken again when the copy is next written.
    static constexpr int largeEdit = 1024 * 1024;
    void setDelay(int ms) { m_timer.setInterval(ms); }

    // Once the program folder is known. Copies left by programs no longer
    // running on this folder are offered one at a time, the newest first,
    // until one is taken back; the others wait for the next start.
    void start();
    void offerBack();

    // The path of this program's copy; empty while no private folder could be had.
    QString copyPath() const;
    bool anythingUnsaved() const;

    // Writes the copy now and waits for it, or removes it when nothing is unsaved.
    void writeNow();
    // Removes this program's copy: nothing is unsaved, or the user chose to lose it.
    void discard();

private:
    void changed();
    void tick();
    recovery::Contents snapshot() const;
    void writeInBackground(bool flushNow = false);
    // Every edit of the notes, kept to be replayed on the writing thread:
    // taking the whole text of a large document would stall the window.
    void textEdited(int position, int removed, int added);
    void handOffEdits(const std::function<void()> &then = {});

    void restore(const recovery::Contents &contents);
    QString heldParts(const recovery::Contents &contents) const;

    AppContext &m_context;
    ProgramList &m_programs;
    NotesDocument &m_document;
    PhoneBook &m_phoneBook;
    QString m_folder;
    QTimer m_timer;
    QThreadPool m_writer;
    // A copy of this program's is on disk.
    bool m_kept = false;
    // Something changed since the copy was written.
    bool m_dirty = false;
    // A write is queued or under way: a tick then waits for the next one.
    std::atomic<bool> m_writing {false};
    // The edits since the last hand-off, and how much text they hold.
    QList<recovery::Edit> m_edits;
    qsizetype m_editedChars = 0;
    // The document's length as the edits make it: a mismatch with the
    // document means an edit was missed, and the whole text is taken again.
    int m_length = 1;
    bool m_resync = false;
    // The document's raw text with its final separator, as the edits made
    // it up to m_unreplayed; only the writing thread touches it.
    QString m_mirror;
    // Only the writing thread touches these, or the window's while it is
    // idle. The last whole copy's bytes, whose room the next one takes over;
    // its parts but the notes' text; the edits since it or the last batch
    // appended to it, and how much was appended.
    QByteArray m_bytes;
    recovery::Contents m_written;
    QList<recovery::Edit> m_unwritten;
    // The edits not yet made to m_mirror.
    QList<recovery::Edit> m_unreplayed;
    qsizetype m_appended = 0;
    // The copy on disk is not this text with edits appended: written whole next.
    bool m_wholeCopyDue = true;
    // Since the disk last had the whole copy; invalid before the first.
    QElapsedTimer m_sinceFlush;
    // An appended copy is in the system's cache only: a tick flushes it.
    std::atomic<bool> m_unflushed {false};
};
