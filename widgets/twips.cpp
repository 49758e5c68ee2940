#include "widgets/twips.h"

#include <QVariant>
#include <QWidget>

namespace grainlink {
namespace {

constexpr const char* kTwipsProperty = "twipsGeometry";

}  // namespace

void SetTwipsGeometry(QWidget* widget, const QRect& twips)
{
    widget->setProperty(kTwipsProperty, twips);
    widget->setGeometry(TwipsToPixels(twips.x()), TwipsToPixels(twips.y()),
                        TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
}

void SetFixedTwipsSize(QWidget* widget, int width, int height)
{
    widget->setProperty(kTwipsProperty, QRect(0, 0, width, height));
    widget->setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}

QRect TwipsGeometry(const QWidget* widget)
{
    return widget->property(kTwipsProperty).toRect();
}

}  // namespace grainlink
