#pragma once

#include <QString>
#include <QWidget>

#include <array>

class AppContext;

// The "Задачи" page: the suite's tools, the personal folder and the companion program.
class ToolsPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolsPage)

public:
    explicit ToolsPage(AppContext &context, QWidget *parent = nullptr);

    // The description of each item, shown while the mouse is over it.
    static std::array<QString, 5> descriptions();

private:
    AppContext &m_context;
};
