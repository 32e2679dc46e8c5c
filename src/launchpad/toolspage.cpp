#include "toolspage.h"

#include "appcontext.h"
#include "launchpad.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "placement.h"
#include "twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

struct Tool
{
    const char16_t *caption;
    int top;
    const char *icon;
    // The tool's subfolder, which is also the name of its program file; empty
    // for the personal folder, which is opened, not started.
    const char *folder;
};

constexpr std::array<Tool, LaunchPad::ToolCount> tools {{
    {u"Tallyra", 840, ":/launchpad/tallyra.png", "tallyra"},
    {u"Locksa", 1440, ":/launchpad/locksa.png", "locksa"},
    {u"Dovrik", 2040, ":/launchpad/dovrik.png", "dovrik"},
    {u"Velmor", 2640, ":/launchpad/velmor.png", "velmor"},
    {u"Ваша папка", 3960, ":/launchpad/personal.png", ""},
}};

constexpr int toolsWebLeft = 6480;

} // namespace

ToolsPage::ToolsPage(AppContext &context, LaunchPad &pad, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_pad(pad)
{
    using platform::twips::rect;
    Label6 = launchpad::placeText(
        new QLabel(QStringLiteral("Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "), this),
        "Label6", rect(120, 480, 6975, 255), false);

    for (qint16 i = 0; i < LaunchPad::ToolCount; ++i) {
        const Tool &tool = tools[i];
        imgStart[i]
            = launchpad::picture(QString::fromLatin1(tool.icon), "imgStart", rect(120, tool.top, 375, 375), this);
        lblStart[i]
            = launchpad::nameLabel(QString::fromUtf16(tool.caption), "lblStart", rect(600, tool.top, 1335, 255), this);
        connect(lblStart[i], &PadLabel::hovered, this, [this, i] { lblStart_MouseMove(i); });
        connect(lblStart[i], &ClickLabel::clicked, this, [this, i] { lblStart_Click(i); });
    }

    Shape1 = launchpad::shape("Shape1", rect(1980, 660, 4455, 2295), this);
    lblInfo = launchpad::placeText(new QLabel(QStringLiteral("Выделите нужную Вам программу, чтобы узнать о ней "
                                                             "побольше, и нажмите на названии программы для ее "
                                                             "запуска."),
                                              this),
                                   "lblInfo", rect(2040, 720, 4335, 2175), true);

    FrameTools = new QGroupBox(QStringLiteral("Инструменты Orvane Tarnel"), this);
    FrameTools->setObjectName(QStringLiteral("FrameTools"));
    FrameTools->setGeometry(rect(2160, 3720, 4935, 975));
    cmdStartKelvane = new QPushButton(QStringLiteral("Kelvane"), FrameTools);
    cmdStartKelvane->setObjectName(QStringLiteral("cmdStartKelvane"));
    cmdStartKelvane->setGeometry(rect(120, 360, 1815, 375));
    cmdStartKelvane->setToolTip(QStringLiteral("Запуск программы Kelvane"));
    cmdStartKelvane->setCursor(Qt::PointingHandCursor);
    connect(cmdStartKelvane, &QPushButton::clicked, this, &ToolsPage::cmdStartKelvane_Click);

    const auto web = [this](const char *name, int top, const QString &toolTip) {
        return launchpad::linkLabel(QStringLiteral("www"), name, rect(toolsWebLeft, top, 495, 255), toolTip,
                                    ClickLabel::Kind::Link, this);
    };
    lblTallyraOnline = web("lblTallyraOnline", 840, QStringLiteral("Информация о Tallyra в Интернете"));
    lblLocksaOnline = web("lblLocksaOnline", 1440, QStringLiteral("Информация о \"Locksa\" в Интернете"));
    lblDovrikOnline = web("lblDovrikOnline", 2040, QStringLiteral("Информация о Dovrik'е в Интернете"));
    lblVelmorOnline = web("lblVelmorOnline", 2640, QStringLiteral("Информация о Velmor в Интернете"));
    connect(lblTallyraOnline, &ClickLabel::clicked, this, &ToolsPage::lblTallyraOnline_Click);
    connect(lblLocksaOnline, &ClickLabel::clicked, this, &ToolsPage::lblLocksaOnline_Click);
    connect(lblDovrikOnline, &ClickLabel::clicked, this, &ToolsPage::lblDovrikOnline_Click);
    connect(lblVelmorOnline, &ClickLabel::clicked, this, &ToolsPage::lblVelmorOnline_Click);
    setReadingOrder({lblStart[0], lblTallyraOnline, lblStart[1], lblLocksaOnline, lblStart[2], lblDovrikOnline,
                     lblStart[3], lblVelmorOnline, lblStart[PersonalFolderIndex], cmdStartKelvane});
}

void ToolsPage::lblStart_MouseMove(qint16 index)
{
    launchpad::highlight({lblStart.begin(), lblStart.end()}, index, lblInfo, m_pad.ToolDescriptions[index]);
    m_pad.toolHovered(index);
}

void ToolsPage::lblStart_Click(qint16 index)
{
    const AppState &state = m_context.state;
    if (index == PersonalFolderIndex) {
        launchpad::start(
            m_context, lblStart[index], QString(),
            launchpad::openerLine(state.WindowsFolder, QLatin1Char('"') + state.PersonalFolder() + QLatin1Char('"')));
        return;
    }
    const QString folder = QString::fromLatin1(tools[index].folder);
    launchpad::start(m_context, lblStart[index], state.ProgramFolder + folder,
                     launchpad::programLine(state.ProgramFolder, folder + QLatin1Char('/') + folder));
}

void ToolsPage::cmdStartKelvane_Click()
{
    m_context.RunProgram(launchpad::programLine(m_context.state.ProgramFolder, QStringLiteral("kelvane")));
}

void ToolsPage::lblTallyraOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/tallyra/"));
}

void ToolsPage::lblLocksaOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/locksa/"));
}

void ToolsPage::lblDovrikOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/dovrik/"));
}

void ToolsPage::lblVelmorOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/velmor/"));
}
