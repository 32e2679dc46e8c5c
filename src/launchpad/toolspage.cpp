#include "toolspage.h"

#include "appearance.h"
#include "launchpad.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "placement.h"
#include "pushbutton.h"
#include "twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr auto tools = LaunchPad::Page::Tools;
// Each tool's picture, name and web label share a row.
constexpr std::array<int, LaunchPad::ToolCount> toolTops {840, 1440, 2040, 2640, 3960};
constexpr int toolsWebLeft = 6480;

} // namespace

ToolsPage::ToolsPage(AppContext &context, LaunchPad &pad, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_pad(pad)
{
    using platform::twips::rect;
    platform::appearance::keepLightColours(this);
    Label6 = launchpad::placeText(
        new QLabel(QStringLiteral("Здесь Вы можете запустить любое приложение из комплекса Orvane Tarnel. "), this),
        "Label6", rect(120, 480, 6975, 255), false);

    for (qint16 i = 0; i < LaunchPad::ToolCount; ++i) {
        const LaunchItem &tool = LaunchPad::item(tools, i);
        imgStart[i]
            = launchpad::picture(QString::fromLatin1(tool.picture), "imgStart", rect(120, toolTops[i], 375, 375), this);
        lblStart[i] = launchpad::nameLabel(QString::fromUtf16(tool.caption), "lblStart",
                                           rect(600, toolTops[i], 1335, 255), this);
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
    cmdStartKelvane = new PushButton(QStringLiteral("Kelvane"), FrameTools);
    cmdStartKelvane->setObjectName(QStringLiteral("cmdStartKelvane"));
    cmdStartKelvane->setGeometry(rect(120, 360, 1815, 375));
    cmdStartKelvane->setToolTip(QStringLiteral("Запуск программы Kelvane"));
    cmdStartKelvane->setCursor(Qt::PointingHandCursor);
    connect(cmdStartKelvane, &QPushButton::clicked, this, &ToolsPage::cmdStartKelvane_Click);

    for (qint16 i = 0; i < qint16(webLabels.size()); ++i) {
        const LaunchItem &tool = LaunchPad::item(tools, i);
        webLabels[i] = launchpad::linkLabel(QStringLiteral("www"), QString::fromUtf16(tool.caption), tool.webLabel,
                                            rect(toolsWebLeft, toolTops[i], 495, 255),
                                            QString::fromUtf16(tool.webToolTip), ClickLabel::Kind::Link, this);
        connect(webLabels[i], &ClickLabel::clicked, this, [this, i] { webLabel_Click(i); });
    }
    setReadingOrder({lblStart[0], webLabels[0], lblStart[1], webLabels[1], lblStart[2], webLabels[2], lblStart[3],
                     webLabels[3], lblStart[PersonalFolderIndex], cmdStartKelvane});
}

void ToolsPage::lblStart_MouseMove(qint16 index)
{
    launchpad::highlight({lblStart.begin(), lblStart.end()}, index, lblInfo, m_pad.description(tools, index));
    m_pad.hovered(tools, index);
}

void ToolsPage::lblStart_Click(qint16 index)
{
    launchpad::whileBusy(m_context, lblStart[index], [this, index] { m_pad.start(tools, index); });
}

void ToolsPage::cmdStartKelvane_Click()
{
    m_pad.startKelvane();
}

void ToolsPage::webLabel_Click(qint16 index)
{
    m_pad.openWebPage(tools, index);
}
