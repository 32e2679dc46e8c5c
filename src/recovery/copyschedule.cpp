#include "copyschedule.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

CopySchedule::CopySchedule(QTextDocument *notes, QObject *parent)
    : QObject(parent)
    , m_notes(notes)
{
    m_timer.setInterval(defaultDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &CopySchedule::tick);
    m_length = notes->characterCount();
    m_resync = m_length != 1;
    // Every keystroke comes here: nothing but flags, a timer and the edit.
    connect(notes, &QTextDocument::contentsChange, this, &CopySchedule::textEdited);
}

void CopySchedule::setFollowing(bool following)
{
    m_following = following;
    if (!following) {
        m_resync = true;
        m_edits.clear();
        m_editedChars = 0;
        m_timer.stop();
    }
}

void CopySchedule::changed(bool unsaved)
{
    if (!m_following)
        return;
    m_dirty = true;
    if (!m_kept && unsaved) {
        Q_EMIT due();
        m_timer.start();
        return;
    }
    // Not restarted on each change: steady typing is kept every delay.
    if (!m_timer.isActive())
        m_timer.start();
}

void CopySchedule::reset()
{
    m_timer.stop();
    m_kept = false;
    m_dirty = false;
}

CopySchedule::Batch CopySchedule::takeEdits(const std::function<QString()> &rawText)
{
    Batch batch;
    if (m_resync || m_length != m_notes->characterCount()) {
        // Once, after an edit the journal could not follow.
        batch.base = rawText() + QChar(QChar::ParagraphSeparator);
        m_length = int(batch.base.size());
        m_edits.clear();
        m_resync = false;
    }
    batch.edits = std::move(m_edits);
    m_edits = {};
    m_editedChars = 0;
    return batch;
}

void CopySchedule::textEdited(int position, int removed, int added)
{
    if (!m_following)
        return;
    m_length += added - removed;
    // An opened file or a large paste is not copied here: an opened document
    // has nothing unsaved, and the whole text is taken once, only when a copy
    // is next written.
    if (added > largeEdit)
        m_resync = true;
    if (m_resync)
        return;
    QString text;
    if (added > 0) {
        QTextCursor cursor(m_notes);
        const int end = std::min(position + added, m_notes->characterCount() - 1);
        cursor.setPosition(std::min(position, end));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        text = cursor.selectedText();
        // A cursor cannot take the document's final separator.
        if (text.size() == added - 1 && position + added == m_notes->characterCount())
            text += QChar(QChar::ParagraphSeparator);
        if (text.size() != added) {
            m_resync = true;
            return;
        }
    }
    m_editedChars += text.size();
    // Typing runs on where the last edit ended: one edit, so that the writing
    // thread moves the text after it once per copy, not once per keystroke.
    if (!m_edits.isEmpty()) {
        recovery::Edit &last = m_edits.last();
        const int offset = position - last.position;
        if (offset >= 0 && offset + removed <= last.added.size()) {
            last.added.replace(offset, removed, text);
            return;
        }
    }
    m_edits.append(recovery::Edit {position, removed, text});
    if (m_editedChars > largeEdit)
        Q_EMIT editsPiledUp();
}
