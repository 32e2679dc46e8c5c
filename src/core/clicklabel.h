#pragma once

#include <QLabel>

// A label that reports clicks, for the status line, the links and the
// programs' names. It keeps a label's look but works as a button for the
// keyboard and for assistive technology: Tab reaches it, Enter, Return and
// Space press it, and it is shown as a push button or a link named by its text.
class ClickLabel : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickLabel)

public:
    // What assistive technology is told the label is.
    enum class Kind { Button, Link };

    explicit ClickLabel(const QString &text, QWidget *parent = nullptr, Kind kind = Kind::Button);

    Kind kind() const { return m_kind; }

Q_SIGNALS:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Kind m_kind;
    bool m_inDoubleClick = false;
};
