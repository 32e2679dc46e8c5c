#pragma once

#include "clicklabel.h"

// A program's name on a launch pad: clickable, with the hand pointer, and
// reporting every movement of the mouse over it, buttons held or not, and the
// keyboard focus coming to it, which shows the same as the mouse over it.
class PadLabel : public ClickLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PadLabel)

public:
    explicit PadLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void hovered();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};
