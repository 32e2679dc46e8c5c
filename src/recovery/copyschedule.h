#pragma once

#include "recoverycopy.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QTextDocument;

// When the recovery copy is taken: at once when something first becomes
// unsaved, then at most one delay after each change, so steady typing is
// kept every delay. It also keeps the journal of what is typed into the
// notes, so that a copy hands the writing thread a few edits rather than
// the whole text of a large document.
class CopySchedule : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopySchedule)

public:
    static constexpr int defaultDelayMs = 2000;
    // Characters of one edit above which the edit is not followed but the
    // whole text taken again when the copy is next written.
    static constexpr int largeEdit = 1024 * 1024;

    // What the writing thread gets of the notes since the last hand-off:
    // the edits, or, when they could not be followed, the whole text as the
    // document holds it (with its final separator) and no edits.
    struct Batch
    {
        QString base;
        QList<recovery::Edit> edits;
    };

    explicit CopySchedule(QTextDocument *notes, QObject *parent = nullptr);

    void setDelay(int ms) { m_timer.setInterval(ms); }
    // Without a place for copies nothing is kept, and edits would only pile up.
    void setFollowing(bool following);

    // Something a copy holds changed; unsaved says whether anything is
    // unsaved now.
    void changed(bool unsaved);
    // Something changed since the last copy was taken.
    bool dirty() const { return m_dirty; }
    // A copy is taken now: nothing is dirty until the next change.
    void copied()
    {
        m_dirty = false;
        m_kept = true;
    }
    // The notes' edits since the last hand-off; rawText gives the whole text
    // when the edits were lost track of.
    Batch takeEdits(const std::function<QString()> &rawText);
    // Nothing more to copy until the next change.
    void rest() { m_timer.stop(); }
    // The copy is gone: the next change is copied at once again.
    void reset();

Q_SIGNALS:
    // Take a copy now: the first unsaved change.
    void due();
    // A delay has passed since copies began or the last tick.
    void tick();
    // Many edits wait: hand them to the writing thread before they are held twice.
    void editsPiledUp();

private:
    void textEdited(int position, int removed, int added);

    QTextDocument *m_notes;
    QTimer m_timer;
    bool m_following = true;
    // A copy has been taken since the last reset.
    bool m_kept = false;
    bool m_dirty = false;
    QList<recovery::Edit> m_edits;
    qsizetype m_editedChars = 0;
    // The document's length as the edits make it: a mismatch with the
    // document means an edit was missed, and the whole text is taken again.
    int m_length = 1;
    bool m_resync = false;
};
