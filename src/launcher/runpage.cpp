#include "runpage.h"

#include "appcontext.h"
#include "appearance.h"
#include "applistfile.h"
#include "filesystem.h"
#include "frmdetails.h"
#include "placement.h"
#include "runtimefailure.h"
#include "twips.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

RunListBox::RunListBox(QWidget *parent)
    : QListWidget(parent)
{
}

int RunListBox::selectedPosition() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void RunListBox::mousePressEvent(QMouseEvent *event)
{
    // The list view would clear the selection here; the page's list keeps it.
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void RunListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

RunPage::RunPage(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
}

void RunPage::buildControls()
{
    if (RunList)
        return;
    using platform::twips::rect;

    Label2 = new QLabel(QStringLiteral("В меню \"Запуск\" можно вносить ярлыки часто используемых Вами программ. "
                                       "Чтобы добавить программу в список, нажмите \"Добавить программу\"."),
                        this);
    RunList = new RunListBox(this);
    cmdRunApp = new QPushButton(QStringLiteral("Запуск"), this);
    cmdAddApp = new QPushButton(QStringLiteral("Добавить программу"), this);
    cmdChangeApp = new QPushButton(QStringLiteral("Изменить выделенное"), this);
    cmdDelApp = new QPushButton(QStringLiteral("Удалить из списка"), this);
    cmdSaveChanges = new QPushButton(QStringLiteral("Сохранить изменения"), this);

    placeLabel(Label2, "Label2", rect(120, 480, 6975, 495), true);

    placeControl(RunList, "RunList", rect(120, 1080, 4695, 3420));
    RunList->setSortingEnabled(false);
    RunList->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont listFont(platform::appearance::face(QStringLiteral("MS Sans Serif")));
    listFont.setPointSizeF(9.75);
    // Captions are the user's: any character the face lacks comes from another.
    RunList->setFont(platform::appearance::userTextFont(listFont));
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
    FillRunList();
}

RunPage::~RunPage() = default;

frmDetails *RunPage::details() const
{
    return m_details;
}

QWidget *RunPage::mainWindow()
{
    return m_context.mainWindow() ? m_context.mainWindow() : window();
}

void RunPage::LoadAppList()
{
    AppState &state = m_context.state;
    const QString path = state.ProgramFolder + applistfile::fileName();
    const auto reportReadFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Ошибка при чтении файла:") + state.CrLf2 + description);
    };
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        if (!m_context.FileExists(path)) {
            state.AppCount = 0;
            if (RunList)
                RunList->clear();
            return;
        }
        QFile file;
        platform::filesystem::openForReading(file, path);
        const applistfile::ReadResult result = applistfile::read(file, state.AppList);
        switch (result.outcome) {
        case applistfile::Outcome::Loaded:
            state.AppCount = result.count;
            return;
        case applistfile::Outcome::CountOutOfRange:
        case applistfile::Outcome::SavedEmpty:
            // The program's own empty list is worth no copy: kept, it would
            // replace the copy of a list that held the user's entries.
            m_keepOldFile = result.outcome == applistfile::Outcome::CountOutOfRange;
            m_context.MsgBox(QStringLiteral("Ошибка в списке программ: список будет очищен."), AppContext::Buttons::Ok,
                             AppContext::Icon::Exclamation);
            if (RunList)
                RunList->clear();
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

SaveOutcome RunPage::SaveAppList()
{
    const AppState &state = m_context.state;
    const auto reportWriteFailure = [this, &state](const QString &description) {
        m_context.MsgBox(QStringLiteral("Возникла ошибка при сохранении списка программ:") + state.CrLf2 + description,
                         AppContext::Buttons::Ok, AppContext::Icon::Critical);
    };
    using platform::filesystem::KeepOld;
    const std::optional<platform::RuntimeFailure> failure = platform::failureOf([&] {
        platform::filesystem::writeDataFile(state.ProgramFolder + applistfile::fileName(),
                                            applistfile::bytes(state.AppList, state.AppCount),
                                            m_keepOldFile ? KeepOld::AsBackup : KeepOld::No);
    });
    if (!failure) {
        m_keepOldFile = false;
        return SaveOutcome::Saved;
    }
    reportWriteFailure(failure->description());
    return SaveOutcome::Failed;
}

void RunPage::FillRunList()
{
    // Built later, the list is filled then.
    if (!RunList)
        return;
    const AppState &state = m_context.state;
    RunList->clear();
    for (int i = 1; i <= state.AppCount; ++i)
        RunList->addItem(shownText(state.AppList[i].Caption));
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
    m_context.RunProgram(m_context.state.AppList[position + 1].Command);
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

frmDetails *RunPage::openDetails(const QString &caption)
{
    QWidget *main = mainWindow();
    main->setEnabled(false);
    // Made after the main window is disabled, so the dialog itself stays
    // usable; a fresh one every time, so it opens with its own texts.
    m_details = new frmDetails(m_context, *this, main);
    m_details->show();
    m_details->setWindowTitle(caption);
    return m_details;
}

void RunPage::cmdAddApp_Click()
{
    if (m_context.state.AppCount >= AppState::MaxApps) {
        m_context.MsgBox(QStringLiteral("Список программ содержит 100 элементов. Больше добавить нельзя!"));
        return;
    }
    frmDetails *details = openDetails(QStringLiteral("Добавление программы"));
    details->Add = true;
}

void RunPage::cmdChangeApp_Click()
{
    const int position = RunList->selectedPosition();
    if (position < 0) {
        askToSelect();
        return;
    }
    frmDetails *details = openDetails(QStringLiteral("Изменение свойств программы"));
    const ProgramEntry &entry = m_context.state.AppList[position + 1];
    details->N = qint16(position);
    details->txtTitle->setText(entry.Caption);
    details->txtPath->setText(entry.Command);
    details->Add = false;
}

void RunPage::cmdDelApp_Click()
{
    const int position = RunList->selectedPosition();
    if (position < 0) {
        askToSelect();
        return;
    }
    AppState &state = m_context.state;
    if (m_context.MsgBox(QStringLiteral("Вы уверены, что хотите удалить программу из списка?") + state.CrLf2
                             + RunList->item(position)->text(),
                         AppContext::Buttons::YesNo, AppContext::Icon::Information)
        != AppContext::Answer::Yes)
        return;
    for (int i = position + 1; i < state.AppCount; ++i)
        state.AppList[i] = state.AppList[i + 1];
    state.StartCh = true;
    --state.AppCount;
    FillRunList();
}

void RunPage::cmdSaveChanges_Click()
{
    m_context.showWaitPointer();
    const SaveOutcome outcome = SaveAppList();
    m_context.showDefaultPointer();
    // Only a save that happened clears the flag: after a failure the changes
    // are still unsaved, and shut-down must still ask about them.
    if (outcome == SaveOutcome::Saved)
        m_context.state.StartCh = false;
}
