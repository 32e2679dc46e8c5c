#include "gamespage.h"

#include "appearance.h"
#include "launchpad.h"
#include "launchroutines.h"
#include "padlabel.h"
#include "placement.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>

namespace {

constexpr auto games = LaunchPad::Page::Games;

struct GameRow
{
    int labelTop;
    int pictureTop;
    // Of the help and web labels.
    int linkTop;
};

constexpr std::array<GameRow, LaunchPad::GameCount> gameRows {
    {{840, 720, 960}, {1440, 1320, 1440}, {2040, 1920, 2040}}};

constexpr int helpLeft = 5640;
constexpr int gamesWebLeft = 6600;

} // namespace

GamesPage::GamesPage(AppContext &context, LaunchPad &pad, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_pad(pad)
{
    using platform::twips::rect;
    platform::appearance::keepLightColours(this);
    Label10
        = launchpad::placeText(new QLabel(QStringLiteral("Для запуска выбранной игры щелкните на ее названии."), this),
                               "Label10", rect(120, 480, 6855, 255), false);

    for (qint16 i = 0; i < LaunchPad::GameCount; ++i) {
        const LaunchItem &game = LaunchPad::item(games, i);
        const GameRow &row = gameRows[i];
        imgGame[i] = launchpad::picture(QString::fromLatin1(game.picture), "imgGame",
                                        rect(120, row.pictureTop, 495, 495), this);
        lblStartGame[i] = launchpad::nameLabel(QString::fromUtf16(game.caption), "lblStartGame",
                                               rect(720, row.labelTop, 1935, 255), this);
        connect(lblStartGame[i], &PadLabel::hovered, this, [this, i] { lblStartGame_MouseMove(i); });
        connect(lblStartGame[i], &ClickLabel::clicked, this, [this, i] { lblStartGame_Click(i); });
    }

    Shape2 = launchpad::shape("Shape2", rect(2700, 660, 2895, 2895), this);
    // Not the description of Brommel, which ends in a blank.
    lblInfoGame = launchpad::placeText(new QLabel(QStringLiteral("Запуск игры Brommel."), this), "lblInfoGame",
                                       rect(2760, 720, 2775, 2775), true);

    for (qint16 i = 0; i < LaunchPad::GameCount; ++i) {
        const LaunchItem &game = LaunchPad::item(games, i);
        const QString caption = QString::fromUtf16(game.caption);
        helpLabels[i] = launchpad::linkLabel(QStringLiteral("Справка"), caption, game.helpLabel,
                                             rect(helpLeft, gameRows[i].linkTop, 855, 255), QString(),
                                             ClickLabel::Kind::Button, this);
        webLabels[i] = launchpad::linkLabel(QStringLiteral("www"), caption, game.webLabel,
                                            rect(gamesWebLeft, gameRows[i].linkTop, 495, 255),
                                            QString::fromUtf16(game.webToolTip), ClickLabel::Kind::Link, this);
        connect(helpLabels[i], &ClickLabel::clicked, this, [this, i] { helpLabel_Click(i); });
        connect(webLabels[i], &ClickLabel::clicked, this, [this, i] { webLabel_Click(i); });
    }
    setReadingOrder({lblStartGame[0], helpLabels[0], webLabels[0], lblStartGame[1], helpLabels[1], webLabels[1],
                     lblStartGame[2], helpLabels[2], webLabels[2]});
    if (!m_pad.gillrunInstalled()) {
        for (QWidget *control :
             std::initializer_list<QWidget *> {lblStartGame[LaunchPad::GillrunIndex], imgGame[LaunchPad::GillrunIndex],
                                               helpLabels[LaunchPad::GillrunIndex], webLabels[LaunchPad::GillrunIndex]})
            control->hide();
    }
}

void GamesPage::lblStartGame_MouseMove(qint16 index)
{
    launchpad::highlight({lblStartGame.begin(), lblStartGame.end()}, index, lblInfoGame,
                         m_pad.description(games, index));
    m_pad.hovered(games, index);
}

void GamesPage::lblStartGame_Click(qint16 index)
{
    launchpad::whileBusy(m_context, lblStartGame[index], [this, index] { m_pad.start(games, index); });
}

void GamesPage::helpLabel_Click(qint16 index)
{
    m_pad.openHelpFile(games, index);
}

void GamesPage::webLabel_Click(qint16 index)
{
    m_pad.openWebPage(games, index);
}
