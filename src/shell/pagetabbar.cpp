#include "pagetabbar.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

// A page's tab as a screen reader sees it. Qt's own tab interface reports the
// shown page's tab as focused but never as selected, and the tab bar's
// selection event hands on exactly that state: a reader told "selected: no"
// does not name the page that came up on Ctrl+Tab.
class AccessibleTab final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    AccessibleTab(QTabBar *bar, int index)
        : m_bar(bar)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        const QAccessibleInterface *bar = barInterface();
        return bar ? bar->window() : nullptr;
    }
    QAccessibleInterface *parent() const override { return barInterface(); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name) {
            const QString name = m_bar->accessibleTabName(m_index);
            return name.isEmpty() ? m_bar->tabText(m_index) : name;
        }
        return t == QAccessible::Description ? m_bar->tabToolTip(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect tab = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(tab.topLeft()), tab.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool shown = m_index == m_bar->currentIndex();
        state.selectable = state.focusable = true;
        state.selected = shown;
        state.focused = shown && m_bar->hasFocus();
        state.disabled = !m_bar->isTabEnabled(m_index);
        state.invisible = !m_bar->isVisible() || !m_bar->isTabVisible(m_index);
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (isValid() && actionName == pressAction())
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QAccessibleInterface *barInterface() const { return QAccessible::queryAccessibleInterface(m_bar.data()); }

    QPointer<QTabBar> m_bar;
    int m_index;
};

// The row of tabs, named, as Qt names a tab bar, by the page shown.
class AccessibleTabBar final : public QAccessibleWidget
{
public:
    explicit AccessibleTabBar(QTabBar *bar)
        : QAccessibleWidget(bar, QAccessible::PageTabList)
    {
    }
    ~AccessibleTabBar() override
    {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }
    Q_DISABLE_COPY_MOVE(AccessibleTabBar)

    int childCount() const override { return tabBar()->count(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_tabs.value(index))
            return QAccessible::accessibleInterface(id);
        auto *tab = new AccessibleTab(tabBar(), index);
        m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_tabs.cbegin(); it != m_tabs.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        return child(tabBar()->tabAt(tabBar()->mapFromGlobal(QPoint(x, y))));
    }

    QAccessibleInterface *focusChild() const override
    {
        return tabBar()->hasFocus() ? child(tabBar()->currentIndex()) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const QAccessibleInterface *shown = child(tabBar()->currentIndex());
            return shown ? shown->text(t) : QString();
        }
        return QAccessibleWidget::text(t);
    }

private:
    QTabBar *tabBar() const { return static_cast<QTabBar *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

QAccessibleInterface *accessibleTabBar(const QString &, QObject *object)
{
    auto *bar = qobject_cast<PageTabBar *>(object);
    return bar ? new AccessibleTabBar(bar) : nullptr;
}

} // namespace

PageTabBar::PageTabBar(QWidget *parent)
    : QTabBar(parent)
{
    // Made before the tab bar is first asked for its interface.
    static const bool accessible = (QAccessible::installFactory(accessibleTabBar), true);
    Q_UNUSED(accessible)
    // Qt tells a reader which tab is selected now, not which one no longer
    // is: a reader that keeps what it was told would hear two pages shown.
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (m_shown >= 0 && m_shown < count() && QAccessible::isActive()) {
            QAccessibleEvent left(this, QAccessible::SelectionRemove);
            left.setChild(m_shown);
            QAccessible::updateAccessibility(&left);
        }
        m_shown = index;
    });
}

QSize PageTabBar::tabSizeHint(int index) const
{
    if (count() == 0 || width() <= 0 || height() <= 0)
        return QTabBar::tabSizeHint(index);
    // Spread the rounding remainder over the first tabs so the row is filled exactly.
    const int base = width() / count();
    const int extra = index < width() % count() ? 1 : 0;
    return QSize(base + extra, height());
}
