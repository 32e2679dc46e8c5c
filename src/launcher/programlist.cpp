#include "programlist.h"

#include "appcontext.h"
#include "codepage.h"
#include "placement.h"
#include "runtimefailure.h"

#include <QFile>

#include <algorithm>
#include <optional>

ProgramList::ProgramList(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

const ProgramEntry &ProgramList::entry(int position) const
{
    Q_ASSERT(position >= 0 && position < AppCount);
    return AppList[position + 1];
}

QList<ProgramEntry> ProgramList::entries() const
{
    return QList<ProgramEntry>(AppList.begin() + 1, AppList.begin() + 1 + AppCount);
}

void ProgramList::LoadAppList()
{
    const AppState &state = m_context.state;
    const QString path = state.ProgramFolder + applistfile::fileName();
    const auto reportReadFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Ошибка при чтении файла:") + state.CrLf2 + description);
    };
    // A list read again starts empty, as at start-up: a file that fails
    // leaves no entries of the list before.
    AppCount = 0;
    // Taken before the file is read: a change another program makes
    // meanwhile then shows as a change, never as what the list holds.
    m_stamp = platform::filesystem::stampOf(path);
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        if (!m_context.FileExists(path))
            return;
        QFile file;
        platform::filesystem::openForReading(file, path);
        const applistfile::ReadResult result = applistfile::read(file, AppList);
        switch (result.outcome) {
        case applistfile::Outcome::Loaded:
            AppCount = result.count;
            return;
        case applistfile::Outcome::CountOutOfRange:
        case applistfile::Outcome::SavedEmpty:
            // The program's own empty list is worth no copy: kept, it would
            // replace the copy of a list that held the user's entries.
            m_keepOldFile = result.outcome == applistfile::Outcome::CountOutOfRange;
            m_context.MsgBox(QStringLiteral("Ошибка в списке программ: список будет очищен."), AppContext::Buttons::Ok,
                             AppContext::Icon::Exclamation);
            return;
        case applistfile::Outcome::MissingCommand:
            m_keepOldFile = true;
            m_context.MsgBox(QStringLiteral("Обнаружена ошибка в списке программ. Список не будет загружен."),
                             AppContext::Buttons::Ok, AppContext::Icon::Critical);
            return;
        }
    });
    if (failure) {
        m_keepOldFile = true;
        reportReadFailure(failure->description());
    }
    Q_EMIT reset();
}

SaveOutcome ProgramList::SaveAppList()
{
    const AppState &state = m_context.state;
    const auto reportWriteFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Возникла ошибка при сохранении списка программ:") + state.CrLf2 + description,
                         AppContext::Buttons::Ok, AppContext::Icon::Critical);
    };
    using platform::filesystem::KeepOld;
    const QString path = state.ProgramFolder + applistfile::fileName();
    const QByteArray bytes = applistfile::bytes(AppList, AppCount);
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf(
        [&] { platform::filesystem::writeDataFile(path, bytes, m_keepOldFile ? KeepOld::AsBackup : KeepOld::No); });
    if (!failure) {
        m_stamp = platform::filesystem::stampOf(path, bytes);
        m_keepOldFile = false;
        StartCh = false;
        return SaveOutcome::Saved;
    }
    reportWriteFailure(failure->description());
    return SaveOutcome::Failed;
}

namespace {

// A line break would end its line in the file early, and a character the code
// page cannot hold would come back as "?": the text would come back changed,
// or break the whole list at the next start.
std::optional<QString> unstorable(const QString &text, const QString &where)
{
    const applistfile::Unstorable problem = applistfile::checkStorable(text);
    switch (problem.reason) {
    case applistfile::Unstorable::None:
        return std::nullopt;
    case applistfile::Unstorable::LineBreak:
        return where
             + QStringLiteral(" есть перевод строки, а в списке программ каждое значение занимает одну строку. Уберите "
                              "его.");
    case applistfile::Unstorable::Character:
        return where
             + QStringLiteral(" есть знак %1, которого нет в кодировке Windows-1251: в списке программ он не "
                              "сохранится. Уберите или замените его.")
                   .arg(platform::codepage::describeCharacter(problem.character));
    }
    return std::nullopt;
}

} // namespace

bool ProgramList::roomToAdd()
{
    if (AppCount < MaxApps)
        return true;
    m_context.MsgBox(QStringLiteral("Список программ содержит %1 элементов. Больше добавить нельзя!").arg(MaxApps));
    return false;
}

bool ProgramList::enter(int position, const ProgramEntry &entry)
{
    if (position == Adding && !roomToAdd())
        return false;
    // Only an empty text is refused: blanks are stored as typed.
    std::optional<QString> refusal;
    if (entry.Caption.isEmpty())
        refusal = QStringLiteral("Надо указать название программы!");
    else if (entry.Command.isEmpty())
        refusal = QStringLiteral("Надо указать командную строку для запуска программы.");
    else
        refusal = unstorable(entry.Caption, QStringLiteral("В названии программы"));
    if (!refusal)
        refusal = unstorable(entry.Command, QStringLiteral("В командной строке"));
    if (refusal) {
        m_context.MsgBox(*refusal, AppContext::Buttons::Ok, AppContext::Icon::Critical);
        return false;
    }
    if (position == Adding)
        add(entry);
    else
        change(position, entry);
    return true;
}

void ProgramList::add(const ProgramEntry &entry)
{
    if (AppCount >= MaxApps)
        return; // the page refuses before asking
    AppList[++AppCount] = entry;
    StartCh = true;
    Q_EMIT entryInserted(AppCount - 1);
    Q_EMIT changed();
}

void ProgramList::change(int position, const ProgramEntry &entry)
{
    if (position < 0 || position >= AppCount)
        return;
    AppList[position + 1] = entry;
    StartCh = true;
    Q_EMIT entryChanged(position);
    Q_EMIT changed();
}

void ProgramList::remove(int position)
{
    if (position < 0 || position >= AppCount)
        return;
    // The caption as the list shows it.
    if (m_context.MsgBox(QStringLiteral("Вы уверены, что хотите удалить программу из списка?") + m_context.state.CrLf2
                             + shownText(AppList[position + 1].Caption),
                         AppContext::Buttons::YesNo, AppContext::Icon::Information)
        != AppContext::Answer::Yes)
        return;
    for (int i = position + 1; i < AppCount; ++i)
        AppList[i] = AppList[i + 1];
    --AppCount;
    StartCh = true;
    Q_EMIT entryRemoved(position);
    Q_EMIT changed();
}

void ProgramList::restore(const QList<ProgramEntry> &entries)
{
    // The keeper refuses a copy with more entries than the list holds before
    // it asks, since this program never wrote one: more is a fault of the
    // caller's, and a build without checks keeps the first MaxApps.
    Q_ASSERT(entries.size() <= MaxApps);
    AppCount = qint16(std::min<qsizetype>(entries.size(), MaxApps));
    std::copy_n(entries.begin(), AppCount, AppList.begin() + 1);
    StartCh = true;
    Q_EMIT reset();
    Q_EMIT changed();
}
