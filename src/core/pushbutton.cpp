#include "pushbutton.h"

#include <QKeyEvent>

void PushButton::keyPressEvent(QKeyEvent *event)
{
    // In a dialog the focused button is the default one, which Qt presses on
    // Enter itself.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || autoDefault()) {
        QPushButton::keyPressEvent(event);
        return;
    }
    // A key held down presses once, as Space does.
    if (!event->isAutoRepeat())
        click();
    event->accept();
}
