#include "tabcontrol.h"

#include "pagetabbar.h"
#include "twips.h"

#include <QApplication>
#include <QFrame>
#include <QShortcut>
#include <QStackedWidget>

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_bar(new PageTabBar(this))
    , m_panel(new QFrame(this))
    , m_stack(new QStackedWidget(this))
{
    // The pages keep the ordinary dialog colours whatever colour the window
    // has; a role counts as set only when it is set explicitly.
    QPalette pagePalette = palette();
    pagePalette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    pagePalette.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    setPalette(pagePalette);
    setAutoFillBackground(false);
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(false);
    m_bar->setElideMode(Qt::ElideNone);
    m_panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_panel->setAutoFillBackground(true);
    m_stack->setAutoFillBackground(false);
    m_bar->raise();
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        // While the window is hidden (start-up selecting the saved page), a
        // page is only chosen; it is made when it is shown.
        if (isVisible())
            showPage(index);
        Q_EMIT currentChanged(index);
    });

    // The keys of a stock tab widget. Shortcuts of the whole window rather
    // than keys the pages pass up: a list or a grid keeps Ctrl+PgDn and
    // Ctrl+Tab for itself. A text that types a TAB on Ctrl+Tab claims the key
    // before the shortcut sees it.
    const struct
    {
        QList<QKeySequence> keys;
        int step;
    } steps[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1},
        {{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, -1},
    };
    for (const auto &entry : steps) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(entry.keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = entry.step] { stepPage(step); });
    }
}

void TabControl::stepPage(int step)
{
    if (count() < 2)
        return;
    // Through the tab bar, which tells a screen reader that the new page's
    // tab is selected, as it does for a click on the tab.
    setCurrentIndex((currentIndex() + step + count()) % count());
}

int TabControl::addPage(const QString &caption, PageFactory make)
{
    m_pages.push_back({std::move(make), nullptr});
    return m_bar->addTab(caption);
}

QWidget *TabControl::page(int index)
{
    Page &entry = m_pages.at(std::size_t(index));
    if (!entry.page) {
        entry.page = entry.make(m_stack);
        entry.page->setAutoFillBackground(false);
        m_stack->addWidget(entry.page);
    }
    return entry.page;
}

void TabControl::showPage(int index)
{
    if (index < 0)
        return;
    QWidget *shown = page(index);
    // The pages leave their background to the panel, which shows the colours
    // of a page that keeps its own (a light page on a dark desktop).
    m_panel->setPalette(shown->testAttribute(Qt::WA_SetPalette) ? shown->palette() : QPalette());
    m_stack->setCurrentWidget(shown);
}

void TabControl::showEvent(QShowEvent *event)
{
    showPage(currentIndex());
    QWidget::showEvent(event);
}

int TabControl::count() const
{
    return m_bar->count();
}

int TabControl::currentIndex() const
{
    return m_bar->currentIndex();
}

void TabControl::setCurrentIndex(int index)
{
    m_bar->setCurrentIndex(index);
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int tabHeight = platform::twips::toPixels(tabHeightTwips);
    m_bar->setGeometry(0, 0, width(), tabHeight);
    m_panel->setGeometry(0, tabHeight - 1, width(), height() - tabHeight + 1);
    m_stack->setGeometry(0, 0, width(), height());
    m_bar->raise();
}
