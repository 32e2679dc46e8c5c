#include "recoverykeeper.h"

#include "appcontext.h"
#include "filesystem.h"
#include "notesdocument.h"
#include "phonebook.h"
#include "programlist.h"
#include "runtimefailure.h"

#include <QDir>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <sys/resource.h>
#include <tuple>

RecoveryKeeper::RecoveryKeeper(AppContext &context, ProgramList &programs, NotesDocument &document,
                               PhoneBook &phoneBook, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_programs(programs)
    , m_document(document)
    , m_phoneBook(phoneBook)
{
    m_writer.setMaxThreadCount(1);
    m_timer.setInterval(defaultDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::tick);
    // Every keystroke comes here: nothing but flags, a timer and the edit.
    m_mirror = QString(QChar(QChar::ParagraphSeparator));
    m_length = document.document()->characterCount();
    m_resync = m_length != 1;
    connect(document.document(), &QTextDocument::contentsChange, this, &RecoveryKeeper::textEdited);
    connect(document.document(), &QTextDocument::contentsChanged, this, &RecoveryKeeper::changed);
    // A save clears its flag; the next tick then removes the copy.
    connect(&document, &NotesDocument::statusChanged, this, &RecoveryKeeper::changed);
    connect(&programs, &ProgramList::changed, this, &RecoveryKeeper::changed);
    connect(&phoneBook, &PhoneBook::changed, this, &RecoveryKeeper::changed);
}

RecoveryKeeper::~RecoveryKeeper()
{
    m_writer.waitForDone();
}

void RecoveryKeeper::start()
{
    if (const std::optional<QString> folder = recovery::privateFolder(m_context.state.ProgramFolder))
        m_folder = *folder;
}

QString RecoveryKeeper::copyPath() const
{
    return m_folder.isEmpty() ? QString() : m_folder + QLatin1Char('/') + recovery::ownFileName();
}

bool RecoveryKeeper::anythingUnsaved() const
{
    return m_document.Change || m_programs.hasUnsavedChanges() || m_phoneBook.PhoneCh;
}

void RecoveryKeeper::changed()
{
    if (m_folder.isEmpty())
        return;
    m_dirty = true;
    if (!m_kept && anythingUnsaved()) {
        writeInBackground();
        m_timer.start();
        return;
    }
    // Not restarted on each change: steady typing is kept every delay.
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryKeeper::tick()
{
    if (!anythingUnsaved()) {
        discard();
        return;
    }
    if (m_writing)
        return;
    if (m_dirty || m_unflushed)
        writeInBackground();
    else
        m_timer.stop();
}

void RecoveryKeeper::textEdited(int position, int removed, int added)
{
    // Without a folder for copies nothing is kept, and the edits would only pile up.
    if (m_folder.isEmpty()) {
        m_resync = true;
        return;
    }
    m_length += added - removed;
    // An opened file or a large paste is not copied here: an opened document
    // has nothing unsaved, and the whole text is taken once, only when a copy
    // is next written.
    if (added > largeEdit)
        m_resync = true;
    if (m_resync)
        return;
    QTextDocument *document = m_document.document();
    QString text;
    if (added > 0) {
        QTextCursor cursor(document);
        const int end = std::min(position + added, document->characterCount() - 1);
        cursor.setPosition(std::min(position, end));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        text = cursor.selectedText();
        // A cursor cannot take the document's final separator.
        if (text.size() == added - 1 && position + added == document->characterCount())
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
    // Many edits are not held twice until the next copy.
    if (m_editedChars > largeEdit)
        handOffEdits();
}

void RecoveryKeeper::handOffEdits(const std::function<void()> &then)
{
    QString base;
    if (m_resync || m_length != m_document.document()->characterCount()) {
        // Once, after an edit the journal could not follow.
        base = m_document.rawText() + QChar(QChar::ParagraphSeparator);
        m_length = int(base.size());
        m_edits.clear();
        m_resync = false;
    }
    m_writer.start([this, base = std::move(base), edits = std::move(m_edits), then]() mutable {
        if (!base.isNull()) {
            m_mirror = std::move(base);
            m_unreplayed.clear();
            m_wholeCopyDue = true;
        }
        // Replayed only for a whole copy: an edit near the start of a large
        // text would move all of it, once per appended copy.
        m_unreplayed += edits;
        if (!m_wholeCopyDue)
            m_unwritten += edits;
        if (then)
            then();
    });
    m_edits = {};
    m_editedChars = 0;
}

recovery::Contents RecoveryKeeper::snapshot() const
{
    recovery::Contents contents;
    contents.written = QDateTime::currentDateTime();
    if (m_document.Change) {
        contents.hasNotes = true;
        contents.notesFile = m_document.CurrentFile;
    }
    if (m_programs.hasUnsavedChanges()) {
        contents.hasPrograms = true;
        for (const ProgramEntry &entry : m_programs.entries())
            contents.programs.append({entry.Caption, entry.Command});
    }
    if (m_phoneBook.PhoneCh) {
        contents.hasPhones = true;
        const PhoneGrid &grid = m_phoneBook.grid();
        for (int row = 0; row < grid.rowCount(); ++row)
            contents.phones.append({grid.text(row, 0), grid.text(row, 1)});
    }
    return contents;
}

void RecoveryKeeper::writeInBackground(bool flushNow)
{
    if (m_folder.isEmpty())
        return;
    m_dirty = false;
    m_kept = true;
    m_writing = true;
    handOffEdits([this, path = copyPath(), contents = snapshot(), flushNow]() mutable {
        // Below the window's thread, which the user is typing into.
        static thread_local const bool lowered = ::setpriority(PRIO_PROCESS, 0, 10) == 0;
        Q_UNUSED(lowered);
        // A copy that cannot be written leaves the one before; the user's
        // work is still in the window.
        platform::failureOf([&] {
            const auto parts = [](const recovery::Contents &c) {
                return std::tie(c.hasNotes, c.notesFile, c.hasPrograms, c.programs, c.hasPhones, c.phones);
            };
            // Typing into the notes alone is appended to the copy, until what
            // is appended would outweigh writing the copy again.
            if (!m_wholeCopyDue && parts(contents) == parts(m_written)) {
                const QByteArray batch = recovery::journalBytes(contents.written, m_unwritten);
                try {
                    if (m_appended + batch.size() <= m_bytes.size() / 4 + 65536) {
                        // The disk is waited for once a delay, as many copies
                        // as come: a power cut loses no more than the delay.
                        const bool flush
                            = flushNow || !m_sinceFlush.isValid() || m_sinceFlush.hasExpired(defaultDelayMs);
                        platform::filesystem::appendToFile(path, batch, flush);
                        if (flush)
                            m_sinceFlush.start();
                        m_unflushed = !flush;
                        m_appended += batch.size();
                        m_unwritten.clear();
                        return;
                    }
                } catch (const platform::RuntimeFailure &) {
                    // A copy removed or cut under the program: written whole.
                }
            }
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
        });
        m_writing = false;
    });
}

void RecoveryKeeper::writeNow()
{
    if (!anythingUnsaved()) {
        discard();
        return;
    }
    writeInBackground(true);
    m_writer.waitForDone();
}

void RecoveryKeeper::discard()
{
    m_timer.stop();
    m_writer.waitForDone();
    if (m_kept)
        QFile::remove(copyPath());
    // The writing thread is idle: the next copy starts a file anew.
    m_wholeCopyDue = true;
    m_kept = false;
    m_dirty = false;
}

QString RecoveryKeeper::heldParts(const recovery::Contents &contents) const
{
    QStringList parts;
    if (contents.hasNotes)
        parts << QStringLiteral("записи");
    if (contents.hasPrograms)
        parts << QStringLiteral("список программ");
    if (contents.hasPhones)
        parts << QStringLiteral("телефонная книга");
    return parts.join(QStringLiteral(", "));
}

namespace {

// What the pages cannot hold was never written by this program.
bool fits(const recovery::Contents &contents)
{
    return !contents.empty() && contents.programs.size() <= ProgramList::MaxApps
        && contents.phones.size() <= PhoneBook::Rows;
}

} // namespace

void RecoveryKeeper::restore(const recovery::Contents &contents)
{
    if (contents.hasNotes) {
        m_document.CurrentFile = contents.notesFile;
        m_document.setDocumentText(contents.notesText);
        m_document.Text_Change();
    }
    if (contents.hasPrograms) {
        QList<ProgramEntry> entries;
        for (const recovery::Pair &entry : contents.programs)
            entries.append(ProgramEntry {entry[0], entry[1]});
        m_programs.restore(entries);
    }
    if (contents.hasPhones) {
        PhoneGrid &grid = m_phoneBook.grid();
        grid.setRowCount(PhoneBook::Rows);
        grid.clearCells();
        for (int row = 0; row < contents.phones.size(); ++row) {
            grid.setText(row, 0, contents.phones[row][0]);
            grid.setText(row, 1, contents.phones[row][1]);
        }
        grid.setCurrentCell(0, 0);
        m_phoneBook.PhoneCh = true;
        Q_EMIT m_phoneBook.changed();
    }
}

void RecoveryKeeper::offerBack()
{
    if (m_folder.isEmpty()) {
        // Someone else's folder, or one others may enter: the user's work
        // is not protected, and hears so at every start.
        m_context.MsgBox(QStringLiteral("Копии несохраненных изменений не будут сохраняться: папка недоступна или "
                                        "открыта для других пользователей.")
                             + m_context.state.CrLf2 + recovery::folderFor(m_context.state.ProgramFolder),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
        return;
    }
    const QDir folder(m_folder);
    const QFileInfoList entries = folder.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Time);
    const QString &crLf2 = m_context.state.CrLf2;
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (!recovery::isCopyName(name) || recovery::ownerRunning(name))
            continue;
        const recovery::ReadResult read = recovery::readFile(entry.filePath());
        if (!read.contents || !fits(*read.contents)) {
            const QString aside = recovery::keepAside(entry.filePath(), QDateTime::currentDateTime());
            m_context.MsgBox(QStringLiteral("Несохраненные изменения прошлого сеанса не удалось прочитать.") + crLf2
                                 + QStringLiteral("Файл оставлен как есть: ")
                                 + (aside.isEmpty() ? entry.filePath() : aside),
                             AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
            if (aside.isEmpty())
                return; // it would be offered again at once
            continue;
        }
        const recovery::Contents &contents = *read.contents;
        const QString question = QStringLiteral("Найдены несохраненные изменения от ")
                               + contents.written.toString(QStringLiteral("dd.MM.yyyy HH:mm")) + QStringLiteral(": ")
                               + heldParts(contents) + QStringLiteral(". Восстановить?");
        if (m_context.MsgBox(question, AppContext::Buttons::YesNo, AppContext::Icon::Question)
            == AppContext::Answer::Yes) {
            restore(contents);
            // The work is this program's unsaved work now, kept in its own copy.
            writeNow();
            QFile::remove(entry.filePath());
            return;
        }
        const QString aside = recovery::keepAside(entry.filePath(), QDateTime::currentDateTime());
        m_context.MsgBox(QStringLiteral("Несохраненные изменения не восстановлены. Они сохранены в файле:") + crLf2
                             + (aside.isEmpty() ? entry.filePath() : aside),
                         AppContext::Buttons::Ok, AppContext::Icon::Information);
        if (aside.isEmpty())
            return;
    }
}
