#pragma once

#include <QString>
#include <QWidget>

#include <array>

class AppContext;

// The "Игры" page: the suite's games with their help and web pages.
class GamesPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GamesPage)

public:
    explicit GamesPage(AppContext &context, QWidget *parent = nullptr);

    // The description of each item, shown while the mouse is over it.
    static std::array<QString, 3> descriptions();

private:
    AppContext &m_context;
};
