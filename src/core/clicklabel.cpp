#include "clicklabel.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // A press that was dragged off the label before release is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}
