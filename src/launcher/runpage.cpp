#include "runpage.h"

#include "appcontext.h"
#include "appearance.h"
#include "frmdetails.h"
#include "placement.h"
#include "programlist.h"
#include "programlistmodel.h"
#include "pushbutton.h"
#include "twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

RunListBox::RunListBox(QWidget *parent)
    : QListView(parent)
{
}

int RunListBox::selectedPosition() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void RunListBox::selectCurrent()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
}

void RunListBox::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    selectCurrent();
}

void RunListBox::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QListView::selectionChanged(selected, deselected);
    selectCurrent();
}

void RunListBox::mousePressEvent(QMouseEvent *event)
{
    // The list view would clear the selection here; the page's list keeps it.
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void RunListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

RunPage::RunPage(AppContext &context, ProgramList &list, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_list(list)
    , m_shown(new ProgramListModel(list, this))
{
    using platform::twips::rect;

    Label2 = new QLabel(QStringLiteral("В меню \"Запуск\" можно вносить ярлыки часто используемых Вами программ. "
                                       "Чтобы добавить программу в список, нажмите \"Добавить программу\"."),
                        this);
    RunList = new RunListBox(this);
    cmdRunApp = new PushButton(QStringLiteral("Запуск"), this);
    cmdAddApp = new PushButton(QStringLiteral("Добавить программу"), this);
    cmdChangeApp = new PushButton(QStringLiteral("Изменить выделенное"), this);
    cmdDelApp = new PushButton(QStringLiteral("Удалить из списка"), this);
    cmdSaveChanges = new PushButton(QStringLiteral("Сохранить изменения"), this);

    placeLabel(Label2, "Label2", rect(120, 480, 6975, 495), true);

    placeControl(RunList, "RunList", rect(120, 1080, 4695, 3420));
    RunList->setModel(m_shown);
    RunList->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont listFont(platform::appearance::face(QStringLiteral("MS Sans Serif")));
    listFont.setPointSizeF(9.75);
    // Captions are the user's: any character the face lacks comes from another.
    RunList->setFont(platform::appearance::userTextFont(listFont));
    RunList->setAccessibleName(QStringLiteral("Список программ"));
    RunList->setToolTip(QStringLiteral("Дважды кликните на названии программы для ее запуска"));
    RunList->setCursor(Qt::PointingHandCursor);
    RunList->viewport()->setCursor(Qt::PointingHandCursor);

    const struct
    {
        QPushButton *button;
        const char *name;
        int top;
        void (RunPage::*handler)();
    } buttons[] = {
        {cmdRunApp, "cmdRunApp", 1080, &RunPage::cmdRunApp_Click},
        {cmdAddApp, "cmdAddApp", 1680, &RunPage::cmdAddApp_Click},
        {cmdChangeApp, "cmdChangeApp", 2160, &RunPage::cmdChangeApp_Click},
        {cmdDelApp, "cmdDelApp", 2640, &RunPage::cmdDelApp_Click},
        {cmdSaveChanges, "cmdSaveChanges", 4080, &RunPage::cmdSaveChanges_Click},
    };
    QWidget *previous = RunList;
    for (const auto &entry : buttons) {
        placeControl(entry.button, entry.name, rect(5040, entry.top, 2175, 375));
        entry.button->setCursor(Qt::PointingHandCursor);
        connect(entry.button, &QPushButton::clicked, this, entry.handler);
        setTabOrder(previous, entry.button);
        previous = entry.button;
    }
    connect(RunList, &RunListBox::dblClick, this, &RunPage::RunList_DblClick);
    // As the list filled anew after each change did: no entry is current
    // or selected, so none is run or removed by a press meant for another.
    // The current entry goes first: the list would select it again.
    connect(&m_list, &ProgramList::changed, RunList, [this] {
        RunList->selectionModel()->clearCurrentIndex();
        RunList->selectionModel()->clearSelection();
    });
}

RunPage::~RunPage() = default;

frmDetails *RunPage::details() const
{
    return m_details;
}

void RunPage::askToSelect()
{
    m_context.MsgBox(QStringLiteral("Сначала выберите программу!"), AppContext::Buttons::Ok,
                     AppContext::Icon::Information);
}

void RunPage::runSelected()
{
    const int position = RunList->selectedPosition();
    m_context.showWaitPointer();
    RunList->setCursor(Qt::WaitCursor);
    RunList->viewport()->setCursor(Qt::WaitCursor);
    // RunProgram reports its own failures; the pointers come back whatever
    // happens, even when memory runs out on the way.
    struct Restore
    {
        RunPage *page;
        ~Restore()
        {
            page->RunList->setCursor(Qt::PointingHandCursor);
            page->RunList->viewport()->setCursor(Qt::PointingHandCursor);
            page->m_context.showDefaultPointer();
        }
    } restore {this};
    m_context.RunProgram(m_list.entry(position).Command);
}

void RunPage::cmdRunApp_Click()
{
    if (RunList->selectedPosition() < 0) {
        askToSelect();
        return;
    }
    runSelected();
}

void RunPage::RunList_DblClick()
{
    if (RunList->selectedPosition() >= 0)
        runSelected();
}

void RunPage::openDetails(int position, QPushButton *pressed)
{
    QWidget *main = window();
    main->setEnabled(false);
    // Made after the main window is disabled, so the dialog itself stays
    // usable; a fresh one every time, so it opens with its own texts.
    m_details = new frmDetails(m_context, m_list, position, main);
    m_details->setFocusOnClose(pressed);
    m_details->show();
}

void RunPage::cmdAddApp_Click()
{
    if (!m_list.roomToAdd())
        return;
    openDetails(frmDetails::Adding, cmdAddApp);
}

void RunPage::cmdChangeApp_Click()
{
    const int position = RunList->selectedPosition();
    if (position < 0) {
        askToSelect();
        return;
    }
    openDetails(position, cmdChangeApp);
}

void RunPage::cmdDelApp_Click()
{
    const int position = RunList->selectedPosition();
    if (position < 0) {
        askToSelect();
        return;
    }
    m_list.remove(position);
}

void RunPage::cmdSaveChanges_Click()
{
    m_context.showWaitPointer();
    m_list.SaveAppList();
    m_context.showDefaultPointer();
}
