#pragma once

#include "copyschedule.h"
#include "copywriter.h"
#include "pagemodels.h"
#include "recoverycopy.h"

#include <QDateTime>
#include <QObject>

class AppContext;

// Keeps a copy of what the pages hold unsaved, outside the user's files, so
// that a program ended without a question (a signal, a crash, a power cut,
// a lost display) loses at most the last seconds of typing, and offers it
// back at the next start. It asks each model for its part and hands it back
// through the model's own operations; when to copy, the writing and the
// offer are each an object of their own. The user's files are never touched.
class RecoveryKeeper : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecoveryKeeper)

public:
    RecoveryKeeper(AppContext &context, PageModels models, QObject *parent = nullptr);

    static constexpr int defaultDelayMs = CopySchedule::defaultDelayMs;
    static constexpr int largeEdit = CopySchedule::largeEdit;
    void setDelay(int ms) { m_schedule.setDelay(ms); }

    // Copies left by programs no longer running on this folder are offered
    // back, in one question; called once the window is shown.
    void offerBack();

    // The path of this program's copy; empty when copies cannot be kept.
    QString copyPath() const;

    // Writes the copy now and waits for it, or removes it when nothing is
    // unsaved. False when the work is not on disk; nothing is said, since
    // the program may be ending without a question.
    bool writeNow();
    // The window lost the focus (a logout or a closing session comes so):
    // what is not in the copy yet goes there at once, without waiting.
    void keepNow();
    // Removes this program's copy: nothing is unsaved, or the user chose to lose it.
    void discard();

private:
    void changed();
    void tick();
    void copy(bool flushNow);
    CopySchedule::Batch notesEdits();
    recovery::Contents snapshot() const;
    bool restore(const recovery::Contents &contents);
    // The copies' folder, made at the first need; false when it cannot be had.
    bool folderReady();
    // Why the last copy is not on disk.
    QString copyFailure() const;
    void copyWritten(const QString &failure);

    AppContext &m_context;
    PageModels m_models;
    CopySchedule m_schedule;
    CopyWriter m_writer;
    QString m_folder;
    bool m_folderMade = false;
    // When the work was last changed: an offer names that time, not the
    // time a copy happened to be written.
    QDateTime m_workTime;
    // The user has been told that copies cannot be written.
    bool m_failureTold = false;
};
