#include "phonepage.h"

#include "appcontext.h"
#include "appearance.h"
#include "codepage.h"
#include "modulegrid1.h"
#include "placement.h"
#include "textfile.h"
#include "twips.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

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

// "1 запись", "3 записи", "49 записей".
QString entriesCounted(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    const QString word = last == 1 && lastTwo != 11                               ? QStringLiteral("запись")
                       : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? QStringLiteral("записи")
                                                                                  : QStringLiteral("записей");
    return QString::number(count) + QLatin1Char(' ') + word;
}

// An entry is a row whose name and number both hold text.
bool isEntry(const PhoneGrid &grid, int row)
{
    return !grid.text(row, 0).isEmpty() && !grid.text(row, 1).isEmpty();
}

} // namespace

PhonePage::PhonePage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , gridToText(ModuleGrid1::GridToText)
    , m_context(context)
    , m_grid(Rows)
{
}

void PhonePage::buildControls()
{
    if (Grid1)
        return;
    Label8 = new QLabel(QStringLiteral("Имя:"), this);
    Label9 = new QLabel(QStringLiteral("Телефон:"), this);
    Grid1 = new QTableWidget(this);
    cmdAddPhone = new QPushButton(QStringLiteral("Добавить"), this);
    cmdEditPhone = new QPushButton(QStringLiteral("Изменить"), this);
    cmdDelPhone = new QPushButton(QStringLiteral("Удалить"), this);
    cmdClearAllPhone = new QPushButton(QStringLiteral("Очистить все"), this);
    cmdSaveGrid = new QPushButton(QStringLiteral("Сохранить"), this);

    using platform::twips::rect;
    using platform::twips::toPixels;

    const struct
    {
        QWidget *control;
        const char *name;
        QRect place;
    } layout[] = {
        {Grid1, "Grid1", rect(120, 960, 5295, 3615)},
        {cmdAddPhone, "cmdAddPhone", rect(5640, 960, 1575, 375)},
        {cmdEditPhone, "cmdEditPhone", rect(5640, 1440, 1575, 375)},
        {cmdDelPhone, "cmdDelPhone", rect(5640, 1920, 1575, 375)},
        {cmdClearAllPhone, "cmdClearAllPhone", rect(5640, 2880, 1575, 375)},
        {cmdSaveGrid, "cmdSaveGrid", rect(5640, 4080, 1575, 375)},
    };
    for (const auto &entry : layout)
        placeControl(entry.control, entry.name, entry.place);
    placeLabel(Label8, "Label8", rect(120, 600, 1575, 375), false);
    placeLabel(Label9, "Label9", rect(3120, 600, 1575, 375), false);

    // Every cell is a data cell: no headings, no editing in place, and the
    // current cell is the one selection.
    Grid1->setFont(platform::appearance::userTextFont(Grid1->font()));
    Grid1->horizontalHeader()->hide();
    Grid1->verticalHeader()->hide();
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setTabKeyNavigation(false);
    Grid1->setWordWrap(false);
    Grid1->setTextElideMode(Qt::ElideNone);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setMinimumSectionSize(1);
    Grid1->verticalHeader()->setDefaultSectionSize(toPixels(240));
    // The rows come once the headers are hidden and fixed: made before, each
    // of them would be measured for a header nobody sees.
    Grid1->setColumnCount(PhoneGrid::Cols);
    Grid1->setRowCount(Rows);
    Grid1->setColumnWidth(0, toPixels(3000));
    Grid1->setColumnWidth(1, toPixels(5000) - toPixels(3000));
    showGrid();

    connect(Grid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { Grid1_currentCellChanged(row, col); });
    // A Ctrl+click takes the selection off the current cell; put it back.
    connect(Grid1, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!m_showing && Grid1->selectedItems().isEmpty())
            showCurrentCell();
    });
    connect(cmdAddPhone, &QPushButton::clicked, this, &PhonePage::cmdAddPhone_Click);
    connect(cmdEditPhone, &QPushButton::clicked, this, &PhonePage::cmdEditPhone_Click);
    connect(cmdDelPhone, &QPushButton::clicked, this, &PhonePage::cmdDelPhone_Click);
    connect(cmdClearAllPhone, &QPushButton::clicked, this, &PhonePage::cmdClearAllPhone_Click);
    connect(cmdSaveGrid, &QPushButton::clicked, this, &PhonePage::cmdSaveGrid_Click);
}

QString PhonePage::filePath() const
{
    return m_context.state.ProgramFolder + fileName();
}

void PhonePage::showGrid()
{
    // Built later, the grid is shown then.
    if (!Grid1)
        return;
    m_showing = true;
    if (Grid1->rowCount() != m_grid.rowCount())
        Grid1->setRowCount(m_grid.rowCount());
    for (int row = 0; row < m_grid.rowCount(); ++row) {
        for (int col = 0; col < m_grid.colCount(); ++col) {
            QTableWidgetItem *item = Grid1->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                Grid1->setItem(row, col, item);
            }
            item->setText(shownText(m_grid.text(row, col)));
        }
    }
    m_showing = false;
    showCurrentCell();
}

void PhonePage::showCurrentCell()
{
    if (!Grid1)
        return;
    m_showing = true;
    Grid1->setCurrentCell(m_grid.row(), m_grid.col());
    m_showing = false;
}

void PhonePage::Grid1_currentCellChanged(int row, int col)
{
    if (m_showing)
        return;
    // The grid always has a current cell, whatever the view lost.
    if (row < 0 || col < 0)
        showCurrentCell();
    else
        m_grid.setCurrentCell(row, col);
}

void PhonePage::LoadPhone()
{
    // Until the whole file is known to be in the grid, a save keeps it.
    m_keepOldFile = true;
    bool readFailed = false;
    QString text = ReadTextFile(m_context, filePath(), &readFailed);
    const ModuleGrid1::TextToGridLoss loss = ModuleGrid1::TextToGrid(text, m_grid, Rows);
    m_grid.setCurrentCell(0, 0);
    m_context.state.PhoneCh = false;
    const int rowsCut = ModuleGrid1::rowsAfterFirstEmptyCell(m_grid);
    m_keepOldFile = readFailed || loss.any() || rowsCut > 0;
    showGrid();
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

SaveOutcome PhonePage::SavePhone()
{
    const std::optional<QString> text = gridToText(m_grid);
    showCurrentCell();
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
        m_context.state.PhoneCh = false;
        m_keepOldFile = false;
    }
    m_context.showDefaultPointer();
    return written ? SaveOutcome::Saved : SaveOutcome::Failed;
}

std::optional<QString> PhonePage::askCell(const QString &prompt, const QString &title, const QString &defaultText)
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

void PhonePage::cmdAddPhone_Click()
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
    m_context.state.PhoneCh = true;
    m_grid.setRowCount(Rows);
    // The entry the user had selected moved down one row; so does the cell.
    m_grid.setCurrentCell(row + 1, col);
    showGrid();
}

void PhonePage::cmdEditPhone_Click()
{
    // The row of the current cell when it holds anything; otherwise the first
    // row without an entry, so that the book never gains a gap.
    int row = m_grid.row();
    if (!m_grid.rowHasText(row)) {
        for (row = 0; row < m_grid.rowCount() - 1 && isEntry(m_grid, row); ++row) { }
    }
    m_grid.setCurrentCell(row, 0);
    showCurrentCell();
    const std::optional<QString> name = askCell(namePrompt(), editTitle(), m_grid.text(row, 0));
    if (!name)
        return;
    m_grid.setCurrentCell(row, 1);
    showCurrentCell();
    const std::optional<QString> number = askCell(numberPrompt(), editTitle(), m_grid.text(row, 1));
    if (!number)
        return;
    m_grid.setText(row, 0, *name);
    m_grid.setText(row, 1, *number);
    m_context.state.PhoneCh = true;
    showGrid();
}

void PhonePage::cmdDelPhone_Click()
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
    m_grid.setCurrentCell(row, col);
    m_context.state.PhoneCh = true;
    showGrid();
}

void PhonePage::cmdClearAllPhone_Click()
{
    if (m_context.MsgBox(QStringLiteral("Вы уверены, что хотите очистить список телефонов?"),
                         AppContext::Buttons::YesNo, AppContext::Icon::Exclamation)
        != AppContext::Answer::Yes)
        return;
    m_grid.clearCells();
    m_grid.setCurrentCell(0, 0);
    m_context.state.PhoneCh = true;
    showGrid();
}

void PhonePage::cmdSaveGrid_Click()
{
    SavePhone();
}
