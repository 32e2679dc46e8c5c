#pragma once

#include <QString>

#include <array>

class AppContext;

// What the "Задачи" and "Игры" pages know before they are shown: the
// descriptions of their items, which item the mouse was last over, and
// whether Gillrun is installed.
class LaunchPad
{
public:
    static constexpr int ToolCount = 5;
    static constexpr int GameCount = 3;
    static constexpr qint16 GillrunIndex = 2;

    explicit LaunchPad(AppContext &context);
    LaunchPad(const LaunchPad &) = delete;
    LaunchPad &operator=(const LaunchPad &) = delete;

    // The hover indexes: the item the mouse last entered, -1 for none. No
    // tool is entered yet, so the first tool entered sounds; the games page
    // starts as if the mouse had entered Brommel, which is silent first.
    qint16 AON = -1;
    qint16 AONgame = 0;
    // The mouse has moved over a tool (a game): entering one other than the
    // last entered plays the hover sound.
    void toolHovered(qint16 index) { hover(AON, index); }
    void gameHovered(qint16 index) { hover(AONgame, index); }

    std::array<QString, ToolCount> ToolDescriptions;
    std::array<QString, GameCount> GameDescriptions;
    void fillDescriptions();

    // Gillrun's program file inside the program folder, without the suffix.
    static QString gillrunProgram() { return QStringLiteral("gillrun/gillrun"); }
    // Start-up: a Gillrun that is not installed is not offered, nor its help
    // and web page.
    void findGillrun();
    bool gillrunInstalled() const { return m_gillrunInstalled; }

private:
    void hover(qint16 &lastEntered, qint16 index);

    AppContext &m_context;
    bool m_gillrunInstalled = true;
};
