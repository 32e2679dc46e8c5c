#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cmath>

// The contrast ratio of the web's accessibility guidelines.
inline float contrast(const QColor &one, const QColor &other)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](float c) { return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f); };
        return 0.2126f * linear(colour.redF()) + 0.7152f * linear(colour.greenF()) + 0.0722f * linear(colour.blueF());
    };
    const float a = luminance(one);
    const float b = luminance(other);
    return (std::max(a, b) + 0.05f) / (std::min(a, b) + 0.05f);
}

// The shown labels of a window whose text reads at less than 4.5:1 against
// what is drawn behind it: within each label, the colour farthest from its
// commonest (the background).
inline QStringList unreadableLabels(QWidget *window)
{
    const QImage screen = window->grab().toImage();
    QStringList unreadable;
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        // In the grab's own pixels, which a scaled desktop multiplies.
        const qreal ratio = screen.devicePixelRatio();
        const QRect place(label->mapTo(window, QPoint()), label->size());
        const QImage shown
            = screen.copy(QRectF(QPointF(place.topLeft()) * ratio, QSizeF(place.size()) * ratio).toRect());
        QHash<QRgb, int> seen;
        for (int at = 0; at < shown.width() * shown.height(); ++at)
            ++seen[shown.pixel(at % shown.width(), at / shown.width())];
        QRgb behind = 0;
        for (const auto [colour, count] : seen.asKeyValueRange())
            behind = count > seen.value(behind) ? colour : behind;
        float text = 1;
        for (const QRgb colour : seen.keys())
            text = std::max(text, contrast(QColor(behind), QColor(colour)));
        if (text < 4.5f)
            unreadable << label->objectName();
    }
    return unreadable;
}
