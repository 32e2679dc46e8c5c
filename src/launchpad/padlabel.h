#pragma once

#include "clicklabel.h"

// A program's name on a launch pad: clickable, with the hand pointer, and
// reporting every movement of the mouse over it, buttons held or not.
class PadLabel : public ClickLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PadLabel)

public:
    explicit PadLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};
