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
    // A "Справка" label: the index-th game's help file.
    void helpLabel_Click(qint16 index);
    // A "www" label: the index-th game's page on the suite's web site.
    void webLabel_Click(qint16 index);

    QLabel *Label10;
    std::array<PadLabel *, LaunchPad::GameCount> lblStartGame {};
    std::array<QLabel *, LaunchPad::GameCount> imgGame {};
    QFrame *Shape2;
    QLabel *lblInfoGame;
    // lblBrommelInfo and on.
    std::array<ClickLabel *, LaunchPad::GameCount> helpLabels {};
    // lblBrommelOnline and on.
    std::array<ClickLabel *, LaunchPad::GameCount> webLabels {};

private:
    AppContext &m_context;
    LaunchPad &m_pad;
};
