#pragma once

#include "launchitem.h"

#include <QString>

#include <array>

class AppContext;

// The "Задачи" and "Игры" pages' programs and what is done with them: their
// descriptions, which item the mouse was last over, whether Gillrun is
// installed, and starting a program or opening its web page or help file.
class LaunchPad
{
public:
    // The launch pads: the "Задачи" page's tools and the "Игры" page's games.
    enum class Page { Tools, Games };
    static constexpr int ToolCount = 5;
    static constexpr int GameCount = 3;
    static constexpr qint16 GillrunIndex = 2;

    // Fills the descriptions and looks for Gillrun in the program folder.
    explicit LaunchPad(AppContext &context);
    LaunchPad(const LaunchPad &) = delete;
    LaunchPad &operator=(const LaunchPad &) = delete;

    static const LaunchItem &item(Page page, qint16 index);
    // The command line of a program of the suite, given by its path inside
    // the program folder without the suffix ("tallyra/tallyra").
    static QString programLine(const QString &programFolder, const QString &relativePath);

    const QString &description(Page page, qint16 index) const;
    // A Gillrun that is not installed is not offered, nor its help and web page.
    bool gillrunInstalled() const { return m_gillrunInstalled; }

    // The mouse has moved over an item: entering one other than the last
    // entered on its page plays the hover sound.
    void hovered(Page page, qint16 index);
    // With the click sound, makes the item's folder current and starts its
    // program; the personal folder is opened instead.
    void start(Page page, qint16 index);
    void openWebPage(Page page, qint16 index);
    // Opens the item's help file, or says that it is missing.
    void openHelpFile(Page page, qint16 index);
    void startKelvane();

private:
    QString openerLine(const QString &target) const;
    bool fileFound(const QString &path) const;

    AppContext &m_context;
    // The item the mouse last entered, -1 for none. No tool is entered yet, so
    // the first tool entered sounds; the games page starts as if the mouse had
    // entered Brommel, which is silent first.
    qint16 AON = -1;
    qint16 AONgame = 0;
    std::array<QString, ToolCount> ToolDescriptions;
    std::array<QString, GameCount> GameDescriptions;
    bool m_gillrunInstalled = false;
};
