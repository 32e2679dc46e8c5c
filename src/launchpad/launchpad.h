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

    // The hover indexes: the item the mouse last moved over, -1 for none.
    qint16 AON = 0;
    qint16 AONgame = 0;

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
    AppContext &m_context;
    bool m_gillrunInstalled = true;
};
