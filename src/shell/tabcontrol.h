#pragma once

#include <QWidget>

class QFrame;
class QStackedWidget;
class QTabBar;

// A tab control whose pages cover the whole control, tab row included, so
// that every page places its controls in the control's own coordinates, as
// the window layouts give them. The tabs share the row in equal widths.
class TabControl : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabControl)

public:
    static constexpr int tabHeightTwips = 360;

    explicit TabControl(QWidget *parent = nullptr);

    int addPage(QWidget *page, const QString &caption);
    int count() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QWidget *page(int index) const;
    QTabBar *tabBar() const { return m_bar; }

Q_SIGNALS:
    // Before the page at index is shown, so that a page built only when
    // first needed can be built while it is still hidden.
    void aboutToShow(int index);
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QTabBar *m_bar;
    QFrame *m_panel;
    QStackedWidget *m_stack;
};
