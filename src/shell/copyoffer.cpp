#include "copyoffer.h"

#include "appcontext.h"
#include "applistfile.h"
#include "filesystem.h"
#include "phonebook.h"
#include "programlist.h"

#include <QFile>

namespace {

const QString &crLf2 = AppState::CrLf2;

QString heldParts(const recovery::Contents &contents)
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

// What the pages cannot hold was never written by this program.
bool fits(const recovery::Contents &contents)
{
    return !contents.empty() && contents.programs.size() <= ProgramList::MaxApps
        && contents.phones.size() <= PhoneBook::Rows;
}

bool changedSince(const QString &path, const std::optional<platform::filesystem::FileStamp> &base)
{
    return base && !path.isEmpty() && !platform::filesystem::unchangedSince(path, *base);
}

} // namespace

CopyOffer::CopyOffer(AppContext &context, QString folder)
    : m_context(context)
    , m_folder(std::move(folder))
{
}

bool CopyOffer::usable()
{
    QString why;
    if (m_folder.isEmpty())
        why = QStringLiteral("Копии несохраненных изменений не будут сохраняться: не задана домашняя папка.");
    else if (recovery::folderState(m_folder) == recovery::FolderState::Refused)
        // Someone else's folder, or one others may enter: the user's work is
        // not protected, and hears so at every start.
        why = QStringLiteral("Копии несохраненных изменений не будут сохраняться: папка недоступна или открыта для "
                             "других пользователей.")
            + crLf2 + m_folder;
    else
        return recovery::folderState(m_folder) == recovery::FolderState::Private;
    m_context.MsgBox(why, AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
    return false;
}

void CopyOffer::run(const std::function<bool(const recovery::Contents &)> &restore)
{
    if (!usable())
        return;
    QList<Found> found;
    QStringList unreadable;
    QStringList newer;
    // Held until the offer is over, so a program started meanwhile does not
    // offer the same work.
    const std::vector<recovery::Claim> claims = recovery::claimLeftCopies(m_folder);
    for (const recovery::Claim &claim : claims) {
        const recovery::ReadResult read = recovery::readFile(claim.path());
        if (read.contents && fits(*read.contents))
            found.append(Found {claim.path(), *read.contents});
        else if (read.failure == recovery::ReadFailure::Newer)
            newer << claim.path();
        else
            unreadable << claim.path();
    }
    if (!unreadable.isEmpty())
        setAside(unreadable, QStringLiteral("Несохраненные изменения прошлого сеанса не удалось прочитать."));
    if (!newer.isEmpty())
        m_context.MsgBox(QStringLiteral("Несохраненные изменения прошлого сеанса записаны более новой версией "
                                        "программы и не могут быть восстановлены этой версией.")
                             + crLf2 + QStringLiteral("Файл оставлен как есть:") + crLf2 + newer.join(AppState::CrLf),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
    if (found.isEmpty())
        return;

    recovery::Contents contents = found.first().contents;
    QStringList older;
    for (qsizetype i = 1; i < found.size(); ++i)
        older << found.at(i).path;
    QString question = QStringLiteral("Найдены несохраненные изменения от ")
                     + contents.written.toString(QStringLiteral("dd.MM.yyyy HH:mm")) + QStringLiteral(": ")
                     + heldParts(contents) + QStringLiteral(". Восстановить?");
    if (contents.hasNotes && changedSince(contents.notesFile, contents.notesBase))
        question += crLf2 + QStringLiteral("Файл записей с тех пор изменен другой программой: ") + contents.notesFile
                  + AppState::CrLf + QStringLiteral("Записи будут восстановлены без имени файла.");
    if (!older.isEmpty())
        question
            += crLf2 + QStringLiteral("Более ранние несохраненные изменения (%1) будут отложены.").arg(older.size());
    const bool taken
        = m_context.MsgBox(question, AppContext::Buttons::YesNo, AppContext::Icon::Question) == AppContext::Answer::Yes;
    if (!taken) {
        setAside(QStringList {found.first().path} + older, QStringLiteral("Несохраненные изменения не восстановлены."));
        return;
    }
    const bool whole = keepChangedFiles(contents);
    // The copy goes only once the work is on disk again in this program's own.
    const bool kept = !contents.empty() && restore(contents);
    if (kept && whole)
        QFile::remove(found.first().path);
    else if (kept || !whole)
        older.prepend(found.first().path);
    if (!older.isEmpty())
        setAside(older, QStringLiteral("Эти несохраненные изменения не восстановлены."));
}

QString CopyOffer::holdingPath(const QString &part) const
{
    return m_context.state.ProgramFolder + part;
}

bool CopyOffer::keepChangedFiles(recovery::Contents &contents)
{
    bool whole = true;
    if (contents.hasNotes && changedSince(contents.notesFile, contents.notesBase))
        contents.notesFile.clear(); // saving asks where
    const auto ask = [&](bool &has, const QString &path, const std::optional<platform::filesystem::FileStamp> &base,
                         const QString &what) {
        if (!has || !changedSince(path, base))
            return;
        const QString text = QStringLiteral("Файл изменен другой программой после этих изменений:") + crLf2 + path
                           + crLf2 + QStringLiteral("Восстановить ") + what
                           + QStringLiteral(" из копии? При сохранении файл будет заменен.");
        if (m_context.MsgBox(text, AppContext::Buttons::YesNo, AppContext::Icon::Question) == AppContext::Answer::No) {
            has = false;
            whole = false;
        }
    };
    ask(contents.hasPrograms, holdingPath(applistfile::fileName()), contents.programsBase,
        QStringLiteral("список программ"));
    ask(contents.hasPhones, holdingPath(PhoneBook::fileName()), contents.phonesBase,
        QStringLiteral("телефонную книгу"));
    return whole;
}

void CopyOffer::setAside(const QStringList &paths, const QString &lead)
{
    QStringList lines;
    for (const QString &path : paths) {
        const QString aside = recovery::keepAside(path, QDateTime::currentDateTime());
        lines << (aside.isEmpty() ? path : aside);
    }
    m_context.MsgBox(lead + QStringLiteral(" Они сохранены в файле:") + crLf2 + lines.join(AppState::CrLf) + crLf2
                         + QStringLiteral("Чтобы программа снова предложила их при запуске, уберите из имени файла "
                                          "начало «kept-» с датой."),
                     AppContext::Buttons::Ok, AppContext::Icon::Information);
}
