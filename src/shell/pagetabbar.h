#pragma once

#include <QTabBar>

// The row of page tabs: the tabs share the row in equal widths, and a screen
// reader finds the shown page's tab selected.
class PageTabBar final : public QTabBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageTabBar)

public:
    explicit PageTabBar(QWidget *parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;

private:
    int m_shown = -1;
};
