#include "frmdetails.h"

#include "appcontext.h"
#include "appearance.h"
#include "comdlg.h"
#include "placement.h"
#include "programlist.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

frmDetails::frmDetails(AppContext &context, ProgramList &list, int position, QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , Label1(new QLabel(QStringLiteral("Задайте имя ярлыка:"), this))
    , txtTitle(new QLineEdit(QStringLiteral("Программа1"), this))
    , Label2(new QLabel(QStringLiteral("Командная строка:"), this))
    , txtPath(new QLineEdit(QStringLiteral("c:\\windows\\calc.exe"), this))
    , cmdBrowse(new QPushButton(QStringLiteral("Обзор..."), this))
    , cmdOK(new QPushButton(QStringLiteral("OK"), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Отмена"), this))
    , m_context(context)
    , m_list(list)
    , m_position(position)
    , m_mainWindow(mainWindow)
{
    using platform::twips::rect;

    setObjectName(QStringLiteral("frmDetails"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(platform::twips::size(6030, 3045));
    // A window of its own does not take the main window's font.
    setFont(platform::appearance::userTextFont(QFont(platform::appearance::face(QStringLiteral("MS Sans Serif")), 8)));

    placeLabel(Label1, "Label1", rect(120, 240, 1695, 255), false);
    placeControl(txtTitle, "txtTitle", rect(1920, 240, 3735, 285));
    placeLabel(Label2, "Label2", rect(120, 720, 3375, 255), false);
    placeControl(txtPath, "txtPath", rect(120, 960, 5775, 285));
    placeControl(cmdBrowse, "cmdBrowse", rect(4800, 1320, 1095, 375));
    placeControl(cmdOK, "cmdOK", rect(1560, 2520, 1575, 375));
    placeControl(cmdCancel, "cmdCancel", rect(3240, 2520, 1455, 375));
    cmdOK->setDefault(true);

    // A line edit stops at 32767 characters unless told otherwise; the
    // entries have no limit of their own.
    txtTitle->setMaxLength(std::numeric_limits<int>::max());
    txtPath->setMaxLength(std::numeric_limits<int>::max());
    if (position == Adding) {
        setWindowTitle(QStringLiteral("Добавление программы"));
    } else {
        setWindowTitle(QStringLiteral("Изменение свойств программы"));
        const ProgramEntry &entry = m_list.entry(position);
        txtTitle->setText(entry.Caption);
        txtPath->setText(entry.Command);
    }

    // Named by their labels, as a screen reader reads them.
    Label1->setBuddy(txtTitle);
    Label2->setBuddy(txtPath);

    setTabOrder(txtTitle, txtPath);
    setTabOrder(txtPath, cmdBrowse);
    setTabOrder(cmdBrowse, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmDetails::cmdBrowse_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmDetails::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDetails::cmdCancel_Click);
}

frmDetails::~frmDetails() = default;

void frmDetails::cmdBrowse_Click()
{
    const QString path
        = ShowOpenDialog(m_context.dialogs, QStringLiteral("Все файлы|*.*"), QStringLiteral("Выбор программы"),
                         QStringLiteral("*.*"), m_context.state.ProgramFolder);
    if (!path.isEmpty())
        txtPath->setText(path);
}

void frmDetails::cmdOK_Click()
{
    // The main window is disabled while the dialog is open, so the list
    // cannot fill up or shrink under it.
    if (m_list.enter(m_position, {txtTitle->text(), txtPath->text()}))
        close();
}

void frmDetails::cmdCancel_Click()
{
    close();
}

void frmDetails::reject()
{
}

void frmDetails::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    // Not QDialog's own: it would call reject(), which closes again.
    QWidget::closeEvent(event);
}

void frmDetails::Form_Unload()
{
    m_mainWindow->setEnabled(true);
    if (m_focusOnClose)
        m_focusOnClose->setFocus(Qt::OtherFocusReason);
}
