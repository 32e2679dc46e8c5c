#include "padlabel.h"

#include <QFocusEvent>

PadLabel::PadLabel(const QString &text, QWidget *parent)
    : ClickLabel(text, parent)
{
    // Without tracking, a label hears of the mouse only while a button is held.
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void PadLabel::focusInEvent(QFocusEvent *event)
{
    // The window coming back to the front returns the focus where it was: no
    // move of the user's, so no sound.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT hovered();
    ClickLabel::focusInEvent(event);
}

void PadLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT hovered();
    ClickLabel::mouseMoveEvent(event);
}
