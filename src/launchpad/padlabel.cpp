#include "padlabel.h"

PadLabel::PadLabel(const QString &text, QWidget *parent)
    : ClickLabel(text, parent)
{
    // Without tracking, a label hears of the mouse only while a button is held.
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void PadLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved();
    ClickLabel::mouseMoveEvent(event);
}
