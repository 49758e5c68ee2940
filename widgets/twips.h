#pragma once

#include <QRect>

class QWidget;

namespace grainlink {

// The windows are designed in twips (1/1440 inch) at 15 twips per pixel. Each placed widget keeps
// its design rectangle in twips, so that layout arithmetic ("left of the next frame is this one's
// right edge plus 100") stays exact; its pixel geometry is derived from it here and nowhere else.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Places the widget at the rectangle given in twips, relative to its parent.
void SetTwipsGeometry(QWidget* widget, const QRect& twips);
// Fixes the widget's size (a window's client area) at the size given in twips.
void SetFixedTwipsSize(QWidget* widget, int width, int height);
// The design rectangle last given to SetTwipsGeometry or SetFixedTwipsSize; an empty one when the
// widget was never placed that way.
QRect TwipsGeometry(const QWidget* widget);

}  // namespace grainlink
