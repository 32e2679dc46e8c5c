#pragma once

#include <QRect>

// Window layouts are given in twips (1/1440 inch); Qt lays out in pixels at
// 96 logical dpi, so 15 twips make one pixel.
namespace platform::twips {

constexpr int perPixel = 15;

// Rounds to the nearest pixel.
int toPixels(int twips);

// Converts the edges, not the size, so that neighbours that touch in twips
// touch in pixels too: left = px(x), right = px(x + w).
QRect rect(int left, int top, int width, int height);

QSize size(int width, int height);

} // namespace platform::twips
