#include "tabcontrol.h"

#include "twips.h"

#include <QApplication>
#include <QFrame>
#include <QStackedWidget>
#include <QTabBar>

namespace {

class EqualWidthTabBar final : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        if (count() == 0 || width() <= 0 || height() <= 0)
            return QTabBar::tabSizeHint(index);
        // Spread the rounding remainder over the first tabs so the row is filled exactly.
        const int base = width() / count();
        const int extra = index < width() % count() ? 1 : 0;
        return QSize(base + extra, height());
    }
};

} // namespace

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_bar(new EqualWidthTabBar(this))
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
        Q_EMIT aboutToShow(index);
        m_stack->setCurrentIndex(index);
        Q_EMIT currentChanged(index);
    });
}

int TabControl::addPage(QWidget *page, const QString &caption)
{
    page->setAutoFillBackground(false);
    m_stack->addWidget(page);
    return m_bar->addTab(caption);
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

QWidget *TabControl::page(int index) const
{
    return m_stack->widget(index);
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
