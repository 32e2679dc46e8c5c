#include "placement.h"

#include <QLabel>
#include <QWidget>

void placeControl(QWidget *control, const char *name, const QRect &place)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(place);
}

QLabel *placeLabel(QLabel *label, const char *name, const QRect &place, bool wrap)
{
    placeControl(label, name, place);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void setReadingOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

QString shownText(const QString &text)
{
    constexpr qsizetype shown = 1000;
    if (text.size() <= shown)
        return text;
    // A character outside the basic plane is not cut in half.
    return text.left(text.at(shown - 1).isHighSurrogate() ? shown - 1 : shown);
}
