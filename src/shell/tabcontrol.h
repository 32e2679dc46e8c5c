#pragma once

#include <QWidget>

#include <functional>
#include <vector>

class QFrame;
class QStackedWidget;
class QTabBar;

// A tab control whose pages cover the whole control, tab row included, so
// that every page places its controls in the control's own coordinates, as
// the window layouts give them. The tabs share the row in equal widths.
//
// Each page is made by its factory when it is first shown (or first asked
// for), so a page nobody looks at costs the start-up nothing.
class TabControl : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabControl)

public:
    static constexpr int tabHeightTwips = 360;

    explicit TabControl(QWidget *parent = nullptr);

    // Makes a page as a child of parent: made where it is shown, it takes the
    // control's font and colours from the start, and loads no other font.
    using PageFactory = std::function<QWidget *(QWidget *parent)>;
    int addPage(const QString &caption, PageFactory make);
    int count() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    // The page at index, made now if it was not yet.
    QWidget *page(int index);
    bool isPageMade(int index) const { return m_pages.at(std::size_t(index)).page != nullptr; }
    QTabBar *tabBar() const { return m_bar; }

Q_SIGNALS:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The page step pages away, round the ends, as a click on its tab shows it.
    void stepPage(int step);

    QTabBar *m_bar;
    QFrame *m_panel;
    QStackedWidget *m_stack;
    struct Page
    {
        PageFactory make;
        QWidget *page = nullptr;
    };
    std::vector<Page> m_pages;

    void showPage(int index);
};
