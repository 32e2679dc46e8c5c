#pragma once

#include <QString>
#include <QWidget>

#include <array>

class AppContext;
class ClickLabel;
class PadLabel;
class QFrame;
class QLabel;

// The "Игры" page: the suite's games with their help and web pages.
class GamesPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GamesPage)

public:
    static constexpr int GameCount = 3;

    // The controls wait for buildControls, the first time the page is shown.
    explicit GamesPage(AppContext &context, QWidget *parent = nullptr);

    // Makes the controls, once.
    void buildControls();

    // The description of each item, shown while the mouse is over it.
    static std::array<QString, GameCount> descriptions();

    // Start-up: a Gillrun that is not installed is not offered, nor its help
    // and web page, whenever the page is built.
    void hideMissingGillrun();

    void lblStartGame_Click(qint16 index);
    void lblStartGame_MouseMove(qint16 index);
    void lblBrommelOnline_Click();
    void lblQuarrowOnline_Click();
    void lblGillrunOnline_Click();
    void lblBrommelInfo_Click();
    void lblQuarrowInfo_Click();
    void lblGillrunInfo_Click();

    QLabel *Label10 = nullptr;
    std::array<PadLabel *, GameCount> lblStartGame {};
    std::array<QLabel *, GameCount> imgGame {};
    QFrame *Shape2 = nullptr;
    QLabel *lblInfoGame = nullptr;
    ClickLabel *lblBrommelInfo = nullptr;
    ClickLabel *lblBrommelOnline = nullptr;
    ClickLabel *lblQuarrowInfo = nullptr;
    ClickLabel *lblQuarrowOnline = nullptr;
    ClickLabel *lblGillrunInfo = nullptr;
    ClickLabel *lblGillrunOnline = nullptr;

private:
    void hideGillrunIfMissing();

    AppContext &m_context;
    bool m_gillrunMissing = false;
};
