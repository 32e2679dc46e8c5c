#pragma once

#include <QLabel>

// A label that reports clicks, for the status line and the links.
class ClickLabel : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickLabel)

public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_inDoubleClick = false;
};
