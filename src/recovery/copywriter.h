#pragma once

#include "copyschedule.h"
#include "recoverycopy.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <atomic>

// Writes the recovery copy on a thread of its own, so a keystroke never
// waits for a write. Typing into the notes alone is appended to the copy
// on disk; anything else, or too much appended, writes the copy whole.
class CopyWriter : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopyWriter)

public:
    explicit CopyWriter(QObject *parent = nullptr);
    // Waits for a write under way.
    ~CopyWriter() override;

    // The notes' edits, kept on the writing thread until the next copy.
    void takeEdits(CopySchedule::Batch edits);
    // Writes contents (their notes as the edits make them) to path. With
    // flushNow the disk is waited for at once, not once a delay.
    void write(const QString &path, const recovery::Contents &contents, CopySchedule::Batch edits,
               bool flushNow = false);
    bool busy() const { return m_writing; }
    // An appended copy is in the system's cache only.
    bool unflushed() const { return m_unflushed; }
    void waitForDone() { m_pool.waitForDone(); }
    // Why the last copy is not on disk; empty when it is. Read once idle.
    QString lastFailure() const;
    // The copy on disk was removed: the next one starts a file anew.
    void forget();

Q_SIGNALS:
    // Each copy's outcome, on the thread that made the writer: the failure's
    // description, or empty when the copy is on disk.
    void written(const QString &failure);

private:
    void writeWhole(const QString &path, const recovery::Contents &contents);
    bool append(const QString &path, const recovery::Contents &contents, bool flushNow);
    void finish(const QString &failure);

    QThreadPool m_pool;
    std::atomic<bool> m_writing {false};
    std::atomic<bool> m_unflushed {false};
    mutable QMutex m_failureLock;
    QString m_failure;
    // Only the writing thread touches the rest, or the window's while it is
    // idle. The notes' raw text with its final separator, as the edits made
    // it up to m_unreplayed; the last whole copy's bytes, whose room the next
    // one takes over; its parts but the notes' text; the edits since it or
    // the last batch appended to it, and how much was appended.
    QString m_mirror = QString(QChar(QChar::ParagraphSeparator));
    QList<recovery::Edit> m_unreplayed;
    QByteArray m_bytes;
    recovery::Contents m_written;
    QList<recovery::Edit> m_unwritten;
    qsizetype m_appended = 0;
    // The copy on disk is not this text with edits appended: written whole next.
    bool m_wholeCopyDue = true;
    // Since the disk last had the whole copy; invalid before the first.
    QElapsedTimer m_sinceFlush;
};
