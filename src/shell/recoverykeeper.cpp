#include "recoverykeeper.h"

#include "appcontext.h"
#include "copyoffer.h"
#include "notesdocument.h"
#include "phonebook.h"
#include "programlist.h"
#include "runtimefailure.h"

#include <QFile>
#include <QTextDocument>

bool PageModels::anythingUnsaved() const
{
    return document.hasUnsavedChanges() || programs.hasUnsavedChanges() || phoneBook.hasUnsavedChanges();
}

RecoveryKeeper::RecoveryKeeper(AppContext &context, PageModels models, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_models(models)
    , m_schedule(models.document.document())
    , m_folder(recovery::folderFor(context.state.ProgramFolder))
{
    m_schedule.setFollowing(!m_folder.isEmpty());
    connect(&m_schedule, &CopySchedule::due, this, [this] { copy(false); });
    connect(&m_schedule, &CopySchedule::tick, this, &RecoveryKeeper::tick);
    connect(&m_schedule, &CopySchedule::editsPiledUp, this, [this] { m_writer.takeEdits(notesEdits()); });
    connect(&m_writer, &CopyWriter::written, this, &RecoveryKeeper::copyWritten);
    connect(models.document.document(), &QTextDocument::contentsChanged, this, &RecoveryKeeper::changed);
    // A save clears its flag; the next tick then removes the copy.
    connect(&models.document, &NotesDocument::statusChanged, this, &RecoveryKeeper::changed);
    connect(&models.programs, &ProgramList::changed, this, &RecoveryKeeper::changed);
    connect(&models.phoneBook, &PhoneBook::changed, this, &RecoveryKeeper::changed);
}

QString RecoveryKeeper::copyPath() const
{
    return m_folder.isEmpty() ? QString() : m_folder + QLatin1Char('/') + recovery::ownFileName();
}

bool RecoveryKeeper::folderReady()
{
    if (m_folderMade)
        return true;
    // Made only now: a program that never had unsaved work leaves nothing in the home.
    m_folderMade = !m_folder.isEmpty() && recovery::privateFolder(m_context.state.ProgramFolder)
                && recovery::holdOwnLock(m_folder);
    return m_folderMade;
}

QString RecoveryKeeper::copyFailure() const
{
    if (!m_folderMade)
        return QStringLiteral("Папка недоступна или открыта для других пользователей: ") + m_folder;
    return m_writer.lastFailure();
}

void RecoveryKeeper::changed()
{
    m_workTime = QDateTime::currentDateTime();
    m_schedule.changed(m_models.anythingUnsaved());
}

void RecoveryKeeper::tick()
{
    if (!m_models.anythingUnsaved())
        discard();
    else if (m_writer.busy())
        return;
    else if (m_schedule.dirty() || m_writer.unflushed())
        copy(false);
    else
        m_schedule.rest();
}

CopySchedule::Batch RecoveryKeeper::notesEdits()
{
    return m_schedule.takeEdits([this] { return m_models.document.rawText(); });
}

void RecoveryKeeper::copy(bool flushNow)
{
    m_schedule.copied();
    if (!folderReady()) {
        copyWritten(copyFailure());
        return;
    }
    m_writer.write(copyPath(), snapshot(), notesEdits(), flushNow);
}

void RecoveryKeeper::copyWritten(const QString &failure)
{
    // Said once when copies stop, and once when they are written again: the
    // user must not believe the work is kept while it is not.
    if (failure.isEmpty() == !m_failureTold)
        return;
    m_failureTold = !failure.isEmpty();
    if (m_failureTold)
        m_context.MsgBox(QStringLiteral("Не удается сохранить копию несохраненных изменений:") + AppState::CrLf2
                             + failure + AppState::CrLf2
                             + QStringLiteral("Если программа закроется неожиданно, изменения будут потеряны."),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
    else
        m_context.MsgBox(QStringLiteral("Копия несохраненных изменений снова сохраняется."), AppContext::Buttons::Ok,
                         AppContext::Icon::Information);
}

recovery::Contents RecoveryKeeper::snapshot() const
{
    recovery::Contents contents;
    contents.written = m_workTime.isValid() ? m_workTime : QDateTime::currentDateTime();
    const NotesDocument &document = m_models.document;
    if (document.hasUnsavedChanges()) {
        contents.hasNotes = true;
        contents.notesFile = document.currentFile();
        contents.notesBase = document.fileStamp();
        contents.notesEncoding = document.encoding();
    }
    if (m_models.programs.hasUnsavedChanges()) {
        contents.hasPrograms = true;
        for (const ProgramEntry &entry : m_models.programs.entries())
            contents.programs.append({entry.Caption, entry.Command});
        contents.programsBase = m_models.programs.fileStamp();
    }
    if (m_models.phoneBook.hasUnsavedChanges()) {
        contents.hasPhones = true;
        for (const PhoneGrid::Row &row : m_models.phoneBook.rows())
            contents.phones.append({row[0], row[1]});
        contents.phonesBase = m_models.phoneBook.fileStamp();
    }
    return contents;
}

bool RecoveryKeeper::restore(const recovery::Contents &contents)
{
    if (contents.hasNotes)
        m_models.document.restore(contents.notesText, contents.notesFile, contents.notesEncoding);
    if (contents.hasPrograms) {
        QList<ProgramEntry> entries;
        for (const recovery::Pair &pair : contents.programs)
            entries.append(ProgramEntry {pair[0], pair[1]});
        m_models.programs.restore(entries);
    }
    if (contents.hasPhones) {
        QList<PhoneGrid::Row> rows;
        for (const recovery::Pair &pair : contents.phones)
            rows.append({pair[0], pair[1]});
        m_models.phoneBook.restore(rows);
    }
    // The work is as old as it was, not as old as its return.
    m_workTime = contents.written;
    if (writeNow())
        return true;
    copyWritten(copyFailure());
    return false;
}

void RecoveryKeeper::offerBack()
{
    CopyOffer offer(m_context, m_folder);
    offer.run([this](const recovery::Contents &contents) { return restore(contents); });
    // A folder others may enter was said once at the offer: no copy is kept.
    if (!m_folder.isEmpty() && recovery::folderState(m_folder) == recovery::FolderState::Refused) {
        m_folder.clear();
        m_schedule.setFollowing(false);
    }
}

bool RecoveryKeeper::writeNow()
{
    if (!m_models.anythingUnsaved()) {
        discard();
        return true;
    }
    if (!folderReady())
        return false;
    copy(true);
    m_writer.waitForDone();
    return m_writer.lastFailure().isEmpty();
}

void RecoveryKeeper::keepNow()
{
    if (m_models.anythingUnsaved() && (m_schedule.dirty() || m_writer.unflushed()))
        copy(true);
}

void RecoveryKeeper::discard()
{
    m_schedule.reset();
    m_writer.forget();
    if (m_folderMade)
        QFile::remove(copyPath());
}
