#include "phonepage.h"

#include "appearance.h"
#include "phonebook.h"
#include "phonebookmodel.h"
#include "placement.h"
#include "pushbutton.h"
#include "twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

PhonePage::PhonePage(PhoneBook &book, QWidget *parent)
    : QWidget(parent)
    , m_book(book)
    , m_shown(new PhoneBookModel(book, this))
{
    Label8 = new QLabel(QStringLiteral("Имя:"), this);
    Label9 = new QLabel(QStringLiteral("Телефон:"), this);
    Grid1 = new QTableView(this);
    Grid1->setAccessibleName(QStringLiteral("Телефоны"));
    cmdAddPhone = new PushButton(QStringLiteral("Добавить"), this);
    cmdEditPhone = new PushButton(QStringLiteral("Изменить"), this);
    cmdDelPhone = new PushButton(QStringLiteral("Удалить"), this);
    cmdClearAllPhone = new PushButton(QStringLiteral("Очистить все"), this);
    cmdSaveGrid = new PushButton(QStringLiteral("Сохранить"), this);

    using platform::twips::rect;

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

    shapeGrid();
    showCurrentCell();

    QItemSelectionModel *selection = Grid1->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { Grid1_currentCellChanged(current); });
    // A Ctrl+click takes the selection off the current cell; put it back.
    connect(selection, &QItemSelectionModel::selectionChanged, this, [selection] {
        const QModelIndex current = selection->currentIndex();
        if (current.isValid() && !selection->isSelected(current))
            selection->select(current, QItemSelectionModel::ClearAndSelect);
    });
    PhoneBook *model = &book;
    connect(cmdAddPhone, &QPushButton::clicked, this, [model] { model->addEntry(); });
    connect(cmdEditPhone, &QPushButton::clicked, this, [model] { model->editEntry(); });
    connect(cmdDelPhone, &QPushButton::clicked, this, [model] { model->deleteEntry(); });
    connect(cmdClearAllPhone, &QPushButton::clicked, this, [model] { model->clearAll(); });
    connect(cmdSaveGrid, &QPushButton::clicked, this, [model] { model->SavePhone(); });
    connect(model, &PhoneBook::changed, this, &PhonePage::showCurrentCell);
    connect(model, &PhoneBook::currentCellMoved, this, &PhonePage::showCurrentCell);
}

void PhonePage::shapeGrid()
{
    using platform::twips::toPixels;
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
    Grid1->setModel(m_shown);
    Grid1->setColumnWidth(0, toPixels(3000));
    Grid1->setColumnWidth(1, toPixels(5000) - toPixels(3000));
}

void PhonePage::showCurrentCell()
{
    Grid1->setCurrentIndex(m_shown->index(m_book.grid().row(), m_book.grid().col()));
}

void PhonePage::Grid1_currentCellChanged(const QModelIndex &current)
{
    // The grid always has a current cell, whatever the view lost.
    if (!current.isValid())
        showCurrentCell();
    else
        m_book.pickCell(current.row(), current.column());
}
