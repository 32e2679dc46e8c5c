#pragma once

#include <QPushButton>

// A push button of a page. Enter presses the focused button, as it does on the
// system the windows were laid out for; Qt gives Enter only to a dialog's
// default button, and outside a dialog a button would take Space alone.
class PushButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PushButton)

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
