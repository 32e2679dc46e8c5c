#include "launchroutines.h"

#include "appcontext.h"
#include "appearance.h"
#include "clicklabel.h"
#include "padlabel.h"
#include "placement.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>

namespace launchpad {

namespace {

const QColor black(0, 0, 0);
const QColor highlightRed(250, 0, 0);
const QColor shapeFill(255, 255, 255);
const QColor shapeEdge(120, 170, 220);

void setTextColour(QLabel *label, const QColor &colour)
{
    // Every movement of the mouse comes here; a palette set again would
    // repaint the label each time.
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

void highlight(const QList<QLabel *> &labels, qint16 index, QLabel *info, const QString &description)
{
    for (qsizetype other = 0; other < labels.size(); ++other) {
        if (other != index)
            setTextColour(labels[other], black);
    }
    setTextColour(labels[index], highlightRed);
    info->setText(description);
}

void whileBusy(AppContext &context, QWidget *label, const std::function<void()> &start)
{
    context.showWaitPointer();
    // The label's own hand would hide the window's hourglass.
    label->setCursor(Qt::WaitCursor);
    start();
    label->setCursor(Qt::PointingHandCursor);
    context.showDefaultPointer();
}

QLabel *placeText(QLabel *label, const char *name, const QRect &rect, bool wrap)
{
    placeLabel(label, name, rect, wrap);
    setTextColour(label, black);
    return label;
}

ClickLabel *linkLabel(const QString &caption, const QString &owner, const char *name, const QRect &rect,
                      const QString &toolTip, ClickLabel::Kind kind, QWidget *parent)
{
    auto *label = new ClickLabel(caption, parent, kind);
    placeText(label, name, rect, false);
    label->setAccessibleName(owner + QStringLiteral(": ") + caption);
    label->setToolTip(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

QLabel *picture(const QString &resource, const char *name, const QRect &rect, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(platform::appearance::picture(resource));
    return label;
}

QFrame *shape(const char *name, const QRect &rect, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(rect);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, shapeFill);
    palette.setColor(QPalette::WindowText, shapeEdge);
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    return frame;
}

PadLabel *nameLabel(const QString &caption, const char *name, const QRect &rect, QWidget *parent)
{
    auto *label = new PadLabel(caption, parent);
    placeText(label, name, rect, false);
    QFont font(platform::appearance::face(QStringLiteral("Tahoma")));
    font.setPointSizeF(9.75);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace launchpad
