#include "programlist.h"

#include "appcontext.h"
#include "filesystem.h"
#include "runtimefailure.h"

#include <QFile>

ProgramList::ProgramList(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

void ProgramList::LoadAppList()
{
    const AppState &state = m_context.state;
    const QString path = state.ProgramFolder + applistfile::fileName();
    const auto reportReadFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Ошибка при чтении файла:") + state.CrLf2 + description);
    };
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        if (!m_context.FileExists(path)) {
            AppCount = 0;
            return;
        }
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
}

SaveOutcome ProgramList::SaveAppList()
{
    const AppState &state = m_context.state;
    const auto reportWriteFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Возникла ошибка при сохранении списка программ:") + state.CrLf2 + description,
                         AppContext::Buttons::Ok, AppContext::Icon::Critical);
    };
    using platform::filesystem::KeepOld;
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        platform::filesystem::writeDataFile(state.ProgramFolder + applistfile::fileName(),
                                            applistfile::bytes(AppList, AppCount),
                                            m_keepOldFile ? KeepOld::AsBackup : KeepOld::No);
    });
    if (!failure) {
        m_keepOldFile = false;
        StartCh = false;
        return SaveOutcome::Saved;
    }
    reportWriteFailure(failure->description());
    return SaveOutcome::Failed;
}

void ProgramList::add(const ProgramEntry &entry)
{
    if (AppCount >= MaxApps)
        return; // the page refuses before asking
    AppList[++AppCount] = entry;
    StartCh = true;
    Q_EMIT changed();
}

void ProgramList::change(int position, const ProgramEntry &entry)
{
    if (position < 0 || position >= AppCount)
        return;
    AppList[position + 1] = entry;
    StartCh = true;
    Q_EMIT changed();
}

void ProgramList::remove(int position)
{
    if (position < 0 || position >= AppCount)
        return;
    for (int i = position + 1; i < AppCount; ++i)
        AppList[i] = AppList[i + 1];
    --AppCount;
    StartCh = true;
    Q_EMIT changed();
}
