#pragma once

#include "launchpad.h"

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
    GamesPage(AppContext &context, LaunchPad &pad, QWidget *parent = nullptr);

    void lblStartGame_Click(qint16 index);
    void lblStartGame_MouseMove(qint16 index);
    void lblBrommelOnline_Click();
    void lblQuarrowOnline_Click();
    void lblGillrunOnline_Click();
    void lblBrommelInfo_Click();
    void lblQuarrowInfo_Click();
    void lblGillrunInfo_Click();

    QLabel *Label10;
    std::array<PadLabel *, LaunchPad::GameCount> lblStartGame {};
    std::array<QLabel *, LaunchPad::GameCount> imgGame {};
    QFrame *Shape2;
    QLabel *lblInfoGame;
    ClickLabel *lblBrommelInfo;
    ClickLabel *lblBrommelOnline;
    ClickLabel *lblQuarrowInfo;
    ClickLabel *lblQuarrowOnline;
    ClickLabel *lblGillrunInfo;
    ClickLabel *lblGillrunOnline;

private:
    AppContext &m_context;
    LaunchPad &m_pad;
};
