#include "phonebook.h"

#include "appcontext.h"
#include "codepage.h"
#include "modulegrid1.h"
#include "textfile.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString addTitle()
{
    return QStringLiteral("Добавление записи в телефонную книгу");
}

QString editTitle()
{
    return QStringLiteral("Изменение записи в телефонной книге");
}

QString namePrompt()
{
    return QStringLiteral("Введите имя человека:");
}

QString numberPrompt()
{
    return QStringLiteral("Введите телефон:");
}

// An entry is a row whose name and number both hold text.
bool isEntry(const PhoneGrid &grid, int row)
{
    return !grid.text(row, 0).isEmpty() && !grid.text(row, 1).isEmpty();
}

} // namespace

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
    QString text = ReadTextFile(m_context, filePath(), &readFailed, &m_stamp);
    const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, m_grid, Rows);
    m_grid.setCurrentCell(0, 0);
    PhoneCh = false;
    const int rowsCut = ModuleGrid1::rowsAfterFirstEmptyCell(m_grid);
    m_keepOldFile = readFailed || loss.any() || rowsCut > 0;
    Q_EMIT reset();
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
    const bool written = WriteTextFile(
        m_context, filePath(), *text,
        m_keepOldFile ? platform::filesystem::KeepOld::AsBackup : platform::filesystem::KeepOld::No, &m_stamp);
    if (written) {
        PhoneCh = false;
        m_keepOldFile = false;
    }
    m_context.showDefaultPointer();
    return written ? SaveOutcome::Saved : SaveOutcome::Failed;
}

void PhoneBook::restore(const QList<PhoneGrid::Row> &rows)
{
    m_grid.setRowCount(0);
    m_grid.insertRows(0, rows.first(std::min<qsizetype>(rows.size(), Rows)));
    m_grid.setRowCount(Rows);
    m_grid.setCurrentCell(0, 0);
    PhoneCh = true;
    Q_EMIT reset();
    Q_EMIT changed();
}

QString PhoneBook::entriesCounted(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    const QString word = last == 1 && lastTwo != 11                               ? QStringLiteral("запись")
                       : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? QStringLiteral("записи")
                                                                                  : QStringLiteral("записей");
    return QString::number(count) + QLatin1Char(' ') + word;
}

void PhoneBook::moveCurrentCell(int row, int col)
{
    m_grid.setCurrentCell(row, col);
    Q_EMIT currentCellMoved();
}

std::optional<QString> PhoneBook::askCell(const QString &prompt, const QString &title, const QString &defaultText)
{
    const QString answer = m_context.dialogs.input(prompt, title, defaultText);
    if (answer.isEmpty())
        return std::nullopt;
    char32_t offending = 0;
    switch (ModuleGrid1::checkCellText(answer, &offending)) {
    case ModuleGrid1::CellTextFault::None:
        return answer;
    case ModuleGrid1::CellTextFault::Separator:
        m_context.MsgBox(QStringLiteral("В имени и телефоне нельзя использовать символы \"|\" и \"`\", табуляцию, "
                                        "перевод строки и другие управляющие символы: ими размечен файл "
                                        "телефонной книги. Запись не изменена."),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation, title);
        return std::nullopt;
    case ModuleGrid1::CellTextFault::NotInCodePage:
        m_context.MsgBox(QStringLiteral("Символ %1 нельзя сохранить в телефонной книге: его нет в "
                                        "кодировке Windows-1251. Запись не изменена.")
                             .arg(platform::codepage::describeCharacter(offending, u'"', u'"')),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation, title);
        return std::nullopt;
    }
    return std::nullopt;
}

void PhoneBook::addEntry()
{
    // Inserting at the top would push the last entry out of a full book.
    if (m_grid.rowHasText(m_grid.rowCount() - 1)) {
        // A hand-edited book may be full with a gap in it: count what is there.
        int used = 0;
        for (int row = 0; row < m_grid.rowCount(); ++row)
            used += m_grid.rowHasText(row) ? 1 : 0;
        m_context.MsgBox(QStringLiteral("Телефонная книга заполнена: в ней %1. Удалите ненужную запись, "
                                        "чтобы добавить новую.")
                             .arg(entriesCounted(used)),
                         AppContext::Buttons::Ok, AppContext::Icon::Exclamation, addTitle());
        return;
    }
    const std::optional<QString> name = askCell(namePrompt(), addTitle(), QString());
    if (!name)
        return;
    const std::optional<QString> number = askCell(numberPrompt(), addTitle(), QString());
    if (!number)
        return;
    const int row = m_grid.row();
    const int col = m_grid.col();
    m_grid.insertRow(0, {*name, *number});
    PhoneCh = true;
    m_grid.setRowCount(Rows);
    Q_EMIT rowInserted(0);
    Q_EMIT rowRemoved(Rows);
    // The entry the user had selected moved down one row; so does the cell.
    // Set once the views are told: a view moves its own current cell off a
    // row that goes, and the page takes that for the user's pick.
    m_grid.setCurrentCell(row + 1, col);
    Q_EMIT changed();
}

void PhoneBook::editEntry()
{
    // The row of the current cell when it holds anything; otherwise the first
    // row without an entry, so that the book never gains a gap.
    int row = m_grid.row();
    if (!m_grid.rowHasText(row)) {
        for (row = 0; row < m_grid.rowCount() - 1 && isEntry(m_grid, row); ++row) { }
    }
    // The user sees which cell is asked for.
    moveCurrentCell(row, 0);
    const std::optional<QString> name = askCell(namePrompt(), editTitle(), m_grid.text(row, 0));
    if (!name)
        return;
    moveCurrentCell(row, 1);
    const std::optional<QString> number = askCell(numberPrompt(), editTitle(), m_grid.text(row, 1));
    if (!number)
        return;
    m_grid.setText(row, 0, *name);
    m_grid.setText(row, 1, *number);
    PhoneCh = true;
    Q_EMIT rowsChanged(row, row);
    Q_EMIT changed();
}

void PhoneBook::deleteEntry()
{
    if (m_context.MsgBox(QStringLiteral("Будет удалена следующая запись:") + m_context.state.CrLf
                             + m_grid.currentText(),
                         AppContext::Buttons::OkCancel, AppContext::Icon::Question)
        != AppContext::Answer::Ok)
        return;
    const int row = m_grid.row();
    const int col = m_grid.col();
    m_grid.removeRow(row);
    m_grid.setRowCount(Rows);
    PhoneCh = true;
    Q_EMIT rowRemoved(row);
    Q_EMIT rowInserted(Rows - 1);
    // As in addEntry: after the views.
    m_grid.setCurrentCell(row, col);
    Q_EMIT changed();
}

void PhoneBook::clearAll()
{
    if (m_context.MsgBox(QStringLiteral("Вы уверены, что хотите очистить список телефонов?"),
                         AppContext::Buttons::YesNo, AppContext::Icon::Exclamation)
        != AppContext::Answer::Yes)
        return;
    m_grid.clearCells();
    m_grid.setCurrentCell(0, 0);
    PhoneCh = true;
    Q_EMIT rowsChanged(0, m_grid.rowCount() - 1);
    Q_EMIT changed();
}
