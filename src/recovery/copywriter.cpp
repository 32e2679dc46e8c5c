#include "copywriter.h"

#include "filesystem.h"
#include "runtimefailure.h"

#include <QMutexLocker>

#include <sys/resource.h>
#include <tuple>

CopyWriter::CopyWriter(QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

CopyWriter::~CopyWriter()
{
    m_pool.waitForDone();
}

void CopyWriter::takeEdits(CopySchedule::Batch edits)
{
    m_pool.start([this, edits = std::move(edits)]() mutable {
        if (!edits.base.isNull()) {
            m_mirror = std::move(edits.base);
            m_unreplayed.clear();
            m_wholeCopyDue = true;
        }
        // Replayed only for a whole copy: an edit near the start of a large
        // text would move all of it, once per appended copy.
        m_unreplayed += edits.edits;
        if (!m_wholeCopyDue)
            m_unwritten += edits.edits;
    });
}

void CopyWriter::write(const QString &path, const recovery::Contents &contents, CopySchedule::Batch edits,
                       bool flushNow)
{
    m_writing = true;
    takeEdits(std::move(edits));
    m_pool.start([this, path, contents, flushNow] {
        // Below the window's thread, which the user is typing into.
        static thread_local const bool lowered = ::setpriority(PRIO_PROCESS, 0, 10) == 0;
        Q_UNUSED(lowered);
        const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
            if (!append(path, contents, flushNow))
                writeWhole(path, contents);
        });
        if (failure)
            m_wholeCopyDue = true;
        finish(failure ? failure->description() : QString());
    });
}

bool CopyWriter::append(const QString &path, const recovery::Contents &contents, bool flushNow)
{
    const auto parts = [](const recovery::Contents &c) {
        return std::tie(c.hasNotes, c.notesFile, c.notesBase, c.hasPrograms, c.programs, c.programsBase, c.hasPhones,
                        c.phones, c.phonesBase);
    };
    if (m_wholeCopyDue || parts(contents) != parts(m_written))
        return false;
    // Typing into the notes alone is appended to the copy, until what is
    // appended would outweigh writing the copy again.
    const QByteArray batch = recovery::journalBytes(contents.written, m_unwritten);
    if (m_appended + batch.size() > m_bytes.size() / 4 + 65536)
        return false;
    // The disk is waited for once a delay, as many copies as come: a power
    // cut loses no more than the delay.
    const bool flush = flushNow || !m_sinceFlush.isValid() || m_sinceFlush.hasExpired(CopySchedule::defaultDelayMs);
    if (platform::failureOf([&] { platform::filesystem::appendToFile(path, batch, flush); }))
        return false; // a copy removed or cut under the program: written whole
    if (flush)
        m_sinceFlush.start();
    m_unflushed = !flush;
    m_appended += batch.size();
    m_unwritten.clear();
    return true;
}

void CopyWriter::writeWhole(const QString &path, const recovery::Contents &contents)
{
    m_wholeCopyDue = true;
    recovery::replay(m_mirror, m_unreplayed);
    m_unreplayed.clear();
    recovery::bytesInto(m_bytes, contents, QStringView(m_mirror).chopped(1));
    recovery::write(path, m_bytes);
    m_sinceFlush.start();
    m_unflushed = false;
    m_wholeCopyDue = false;
    m_written = contents;
    m_appended = 0;
    m_unwritten.clear();
}

void CopyWriter::finish(const QString &failure)
{
    {
        const QMutexLocker locker(&m_failureLock);
        m_failure = failure;
    }
    m_writing = false;
    QMetaObject::invokeMethod(
        this, [this, failure] { Q_EMIT written(failure); }, Qt::QueuedConnection);
}

QString CopyWriter::lastFailure() const
{
    const QMutexLocker locker(&m_failureLock);
    return m_failure;
}

void CopyWriter::forget()
{
    m_pool.waitForDone();
    m_wholeCopyDue = true;
}
