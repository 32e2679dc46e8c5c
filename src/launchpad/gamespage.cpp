#include "gamespage.h"

#include "appcontext.h"
#include "launchpad.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "placement.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>

namespace {

struct Game
{
    const char *caption;
    int labelTop;
    int iconTop;
    const char *icon;
    const char *folder;
    const char *program;
};

constexpr std::array<Game, LaunchPad::GameCount> games {{
    {"Brommel", 840, 720, ":/launchpad/brommel.png", "pellmell", "pellmell/brommel"},
    {"Quarrow", 1440, 1320, ":/launchpad/quarrow.png", "pellmell", "pellmell/quarrow"},
    {"Gillrun", 2040, 1920, ":/launchpad/gillrun.png", "gillrun", "gillrun/gillrun"},
}};

constexpr int helpLeft = 5640;
constexpr int gamesWebLeft = 6600;

} // namespace

GamesPage::GamesPage(AppContext &context, LaunchPad &pad, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_pad(pad)
{
    using platform::twips::rect;
    Label10
        = launchpad::placeText(new QLabel(QStringLiteral("Для запуска выбранной игры щелкните на ее названии."), this),
                               "Label10", rect(120, 480, 6855, 255), false);

    for (qint16 i = 0; i < LaunchPad::GameCount; ++i) {
        const Game &game = games[i];
        imgGame[i]
            = launchpad::picture(QString::fromLatin1(game.icon), "imgGame", rect(120, game.iconTop, 495, 495), this);
        lblStartGame[i] = launchpad::nameLabel(QString::fromLatin1(game.caption), "lblStartGame",
                                               rect(720, game.labelTop, 1935, 255), this);
        connect(lblStartGame[i], &PadLabel::hovered, this, [this, i] { lblStartGame_MouseMove(i); });
        connect(lblStartGame[i], &ClickLabel::clicked, this, [this, i] { lblStartGame_Click(i); });
    }

    Shape2 = launchpad::shape("Shape2", rect(2700, 660, 2895, 2895), this);
    // Not the description of Brommel, which ends in a blank.
    lblInfoGame = launchpad::placeText(new QLabel(QStringLiteral("Запуск игры Brommel."), this), "lblInfoGame",
                                       rect(2760, 720, 2775, 2775), true);

    const auto help = [this](const char *name, int top) {
        return launchpad::linkLabel(QStringLiteral("Справка"), name, rect(helpLeft, top, 855, 255), QString(),
                                    ClickLabel::Kind::Button, this);
    };
    const auto web = [this](const char *name, int top) {
        return launchpad::linkLabel(QStringLiteral("www"), name, rect(gamesWebLeft, top, 495, 255),
                                    QStringLiteral("Информация о программе в Интернете"), ClickLabel::Kind::Link, this);
    };
    lblBrommelInfo = help("lblBrommelInfo", 960);
    lblBrommelOnline = web("lblBrommelOnline", 960);
    lblQuarrowInfo = help("lblQuarrowInfo", 1440);
    lblQuarrowOnline = web("lblQuarrowOnline", 1440);
    lblGillrunInfo = help("lblGillrunInfo", 2040);
    lblGillrunOnline = web("lblGillrunOnline", 2040);
    connect(lblBrommelInfo, &ClickLabel::clicked, this, &GamesPage::lblBrommelInfo_Click);
    connect(lblBrommelOnline, &ClickLabel::clicked, this, &GamesPage::lblBrommelOnline_Click);
    connect(lblQuarrowInfo, &ClickLabel::clicked, this, &GamesPage::lblQuarrowInfo_Click);
    connect(lblQuarrowOnline, &ClickLabel::clicked, this, &GamesPage::lblQuarrowOnline_Click);
    connect(lblGillrunInfo, &ClickLabel::clicked, this, &GamesPage::lblGillrunInfo_Click);
    connect(lblGillrunOnline, &ClickLabel::clicked, this, &GamesPage::lblGillrunOnline_Click);
    setReadingOrder({lblStartGame[0], lblBrommelInfo, lblBrommelOnline, lblStartGame[1], lblQuarrowInfo,
                     lblQuarrowOnline, lblStartGame[LaunchPad::GillrunIndex], lblGillrunInfo, lblGillrunOnline});
    if (!m_pad.gillrunInstalled()) {
        for (QWidget *control :
             std::initializer_list<QWidget *> {lblStartGame[LaunchPad::GillrunIndex], imgGame[LaunchPad::GillrunIndex],
                                               lblGillrunInfo, lblGillrunOnline})
            control->hide();
    }
}

void GamesPage::lblStartGame_MouseMove(qint16 index)
{
    launchpad::highlight({lblStartGame.begin(), lblStartGame.end()}, index, lblInfoGame, m_pad.GameDescriptions[index]);
    m_pad.gameHovered(index);
}

void GamesPage::lblStartGame_Click(qint16 index)
{
    const AppState &state = m_context.state;
    launchpad::start(m_context, lblStartGame[index], state.ProgramFolder + QString::fromLatin1(games[index].folder),
                     launchpad::programLine(state.ProgramFolder, QString::fromLatin1(games[index].program)));
}

void GamesPage::lblBrommelOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/pellmell/brommel.htm"));
}

void GamesPage::lblQuarrowOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/pellmell/quarrow.htm"));
}

void GamesPage::lblGillrunOnline_Click()
{
    launchpad::openWebPage(m_context, QStringLiteral("/gillrun/"));
}

void GamesPage::lblBrommelInfo_Click()
{
    launchpad::openHelpFile(m_context, QStringLiteral("brommel.txt"));
}

void GamesPage::lblQuarrowInfo_Click()
{
    launchpad::openHelpFile(m_context, QStringLiteral("quarrow.txt"));
}

void GamesPage::lblGillrunInfo_Click()
{
    launchpad::openHelpFile(m_context, QStringLiteral("gillrun/index.html"));
}
