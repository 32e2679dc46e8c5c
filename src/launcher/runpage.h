#pragma once

#include <QWidget>

class AppContext;

// The "Запуск" page: the user's own list of programs to start.
class RunPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunPage)

public:
    explicit RunPage(AppContext &context, QWidget *parent = nullptr);

private:
    AppContext &m_context;
};
