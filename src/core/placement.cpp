#include "placement.h"

#include <QLabel>

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
