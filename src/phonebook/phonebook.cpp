#include "phonebook.h"

#include "appcontext.h"
#include "modulegrid1.h"
#include "textfile.h"

#include <QFileInfo>

PhoneBook::PhoneBook(AppContext &context, QObject *parent)
    : QObject(parent)
    , gridToText(ModuleGrid1::GridToText)
    , m_context(context)
    , m_grid(Rows)
{
}

QString PhoneBook::filePath() const
{
    return m_context.state.ProgramFolder + fileName();
}

void PhoneBook::LoadPhone()
{
    // Until the whole file is known to be in the grid, a save keeps it.
    m_keepOldFile = true;
    bool readFailed = false;
    QString text = ReadTextFile(m_context, filePath(), &readFailed);
    const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, m_grid, Rows);
    m_grid.setCurrentCell(0, 0);
    PhoneCh = false;
    const int rowsCut = ModuleGrid1::rowsAfterFirstEmptyCell(m_grid);
    m_keepOldFile = readFailed || loss.any() || rowsCut > 0;
    Q_EMIT changed();
    // A pipe, a folder or a device in its place can never be saved over or
    // kept: the read has said what it is, and every save will say so again.
    const QFileInfo info(filePath());
    if (readFailed && info.exists() && !info.isFile())
        return;
    if (m_keepOldFile) {
        const AppState &state = m_context.state;
        // Say what a save would lose, so the user can tell a stray line from
        // a book cut in half.
        QString lost;
        const auto count = [&](int rows, const QString &what) {
            if (rows > 0)
                lost += what.arg(rows) + state.CrLf2;
        };
        count(loss.rowsDropped, QStringLiteral("Строк с записями, не поместившихся в список: %1."));
        count(loss.rowsShortened, QStringLiteral("Строк, в которых отброшены части после имени и телефона: %1."));
        count(rowsCut, QStringLiteral("Строк после первой пустой ячейки, которые не будут записаны: %1."));
        m_context.MsgBox(QStringLiteral("Телефонная книга прочитана не полностью.") + state.CrLf2 + filePath()
                             + state.CrLf2 + lost
                             + QStringLiteral("При следующем сохранении будут записаны только записи, которые идут "
                                              "подряд с первой строки списка (не больше %1), а прежний файл будет "
                                              "сохранен рядом под именем \"%2.bak\".")
                                   .arg(Rows)
                                   .arg(fileName()),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation);
    }
}

SaveOutcome PhoneBook::SavePhone()
{
    const std::optional<QString> text = gridToText(m_grid);
    // The conversion makes the first empty cell the current one.
    Q_EMIT currentCellMoved();
    // An empty text written now would empty the phone book on disk.
    if (!text) {
        m_context.MsgBox(QStringLiteral("Ошибка при преобразовании данных."), AppContext::Buttons::Ok,
                         AppContext::Icon::Critical);
        return SaveOutcome::Failed;
    }
    m_context.showWaitPointer();
    const bool written
        = WriteTextFile(m_context, filePath(), *text,
                        m_keepOldFile ? platform::filesystem::KeepOld::AsBackup : platform::filesystem::KeepOld::No);
    if (written) {
        PhoneCh = false;
        m_keepOldFile = false;
    }
    m_context.showDefaultPointer();
    return written ? SaveOutcome::Saved : SaveOutcome::Failed;
}
