#include "twips.h"

#include <QSize>

namespace platform::twips {

int toPixels(int twips)
{
    // 15 is odd, so no value lies exactly half-way; round away from zero so
    // that negative positions mirror positive ones.
    const int half = perPixel / 2;
    return twips >= 0 ? (twips + half) / perPixel : -((-twips + half) / perPixel);
}

QRect rect(int left, int top, int width, int height)
{
    const int x1 = toPixels(left);
    const int y1 = toPixels(top);
    const int x2 = toPixels(left + width);
    const int y2 = toPixels(top + height);
    return QRect(QPoint(x1, y1), QSize(x2 - x1, y2 - y1));
}

QSize size(int width, int height)
{
    return QSize(toPixels(width), toPixels(height));
}

} // namespace platform::twips
