#include "clicklabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <utility>

namespace {

// A QLabel is shown to assistive technology as static text without an
// action, which a screen reader passes over.
class AccessibleClickLabel : public QAccessibleWidget
{
public:
    explicit AccessibleClickLabel(ClickLabel *label)
        : QAccessibleWidget(label, label->kind() == ClickLabel::Kind::Link ? QAccessible::Link : QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            Q_EMIT label()->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    ClickLabel *label() const { return static_cast<ClickLabel *>(widget()); }
};

QAccessibleInterface *accessibleClickLabel(const QString &, QObject *object)
{
    auto *label = qobject_cast<ClickLabel *>(object);
    return label ? new AccessibleClickLabel(label) : nullptr;
}

} // namespace

ClickLabel::ClickLabel(const QString &text, QWidget *parent, Kind kind)
    : QLabel(text, parent)
    , m_kind(kind)
{
    // Made before the first label is asked for its interface.
    static const bool accessible = (QAccessible::installFactory(accessibleClickLabel), true);
    Q_UNUSED(accessible)
    // The status line shows the user's file names, which may look like markup.
    setTextFormat(Qt::PlainText);
    // Not by a click: the mouse user sees no focus mark come and go.
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // A key held down starts the command once, not once per repeat.
        if (!event->isAutoRepeat())
            Q_EMIT clicked();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is no second click: one double click
    // starts one tool, not two.
    if (event->button() == Qt::LeftButton)
        m_inDoubleClick = true;
    QLabel::mouseDoubleClickEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool secondOfDouble = std::exchange(m_inDoubleClick, false);
    // A press that was dragged off the label before release is no click.
    if (event->button() == Qt::LeftButton && !secondOfDouble && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Round the text only, as a link or a flat button marks focus; the label's
    // box is often much wider than its text. A dotted line in the text's own
    // colour, as the system the windows were laid out for draws its focus
    // rectangle: it reads against the page as the text does, where the
    // style's pale mark did not.
    const QRect mark = style()
                           ->itemTextRect(fontMetrics(), contentsRect(), int(alignment()), isEnabled(), text())
                           .adjusted(-1, 0, 1, 0)
                           .intersected(rect());
    QPainter painter(this);
    QPen dots(palette().color(foregroundRole()), 0);
    dots.setDashPattern({1, 1});
    painter.setPen(dots);
    painter.drawRect(mark.adjusted(0, 0, -1, -1));
}
