#pragma once

#include <QWidget>

class AppContext;

// The "Телефоны" page: names and numbers in a two-column grid.
class PhonePage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhonePage)

public:
    explicit PhonePage(AppContext &context, QWidget *parent = nullptr);

private:
    AppContext &m_context;
};
