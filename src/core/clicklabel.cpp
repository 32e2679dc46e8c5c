#include "clicklabel.h"

#include <QMouseEvent>

#include <utility>

ClickLabel::ClickLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    // The status line shows the user's file names, which may look like markup.
    setTextFormat(Qt::PlainText);
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
