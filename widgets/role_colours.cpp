#include "widgets/role_colours.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace grainlink {
namespace {

const QColor kDesignedBlue(0, 0, 255);
const QColor kDesignedRed(255, 0, 0);
// A colour is lightened or darkened in steps this fine, so it keeps as much of its hue as the
// contrast allows.
constexpr int kMixSteps = 64;

// WCAG 2 relative luminance of an sRGB colour.
double Luminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

int Mix(int from, int to, int step)
{
    return from + (to - from) * step / kMixSteps;
}

// `colour` when it has `minimum` contrast against `background`; otherwise the first mix of it
// towards white (on a dark background) or black that has.
QColor Readable(const QColor& colour, const QColor& background, double minimum)
{
    if (ContrastRatio(colour, background) >= minimum) return colour;
    const QColor target = TextOn(background);
    for (int step = 1; step < kMixSteps; ++step) {
        const QColor mixed(Mix(colour.red(), target.red(), step),
                           Mix(colour.green(), target.green(), step),
                           Mix(colour.blue(), target.blue(), step));
        if (ContrastRatio(mixed, background) >= minimum) return mixed;
    }
    return target;
}

}  // namespace

double ContrastRatio(const QColor& first, const QColor& second)
{
    const double one = Luminance(first);
    const double other = Luminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

RoleColours ColoursFor(ColourRole role, const QPalette& palette)
{
    const QColor window = palette.color(QPalette::Window);
    if (!IsDark(palette)) {
        switch (role) {
            case ColourRole::Caption:
                return {Qt::black, window};
            case ColourRole::Emphasis:
                return {kDesignedBlue, window};
            case ColourRole::Warning:
                return {kDesignedRed, window};
            case ColourRole::Value:
            case ColourRole::Chart:
                break;
        }
        return {Qt::black, Qt::white};
    }
    switch (role) {
        case ColourRole::Caption:
            return {Readable(palette.color(QPalette::WindowText), window, kTextContrast), window};
        case ColourRole::Emphasis:
            return {Readable(kDesignedBlue, window, kTextContrast), window};
        case ColourRole::Warning:
            return {Readable(kDesignedRed, window, kTextContrast), window};
        case ColourRole::Value:
        case ColourRole::Chart:
            break;
    }
    const QColor base = palette.color(QPalette::Base);
    return {Readable(palette.color(QPalette::Text), base, kTextContrast), base};
}

RoleColours ColoursFor(ColourRole role)
{
    return ColoursFor(role, QGuiApplication::palette());
}

QColor TextOn(const QColor& background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

QColor ChartLineColour(const QColor& designed, const QPalette& palette)
{
    if (!IsDark(palette)) return designed;
    return Readable(designed, ColoursFor(ColourRole::Chart, palette).background, kLineContrast);
}

void UseRole(QWidget* widget, ColourRole role)
{
    const RoleColours colours = ColoursFor(role);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colours.text);
    if (role == ColourRole::Value || role == ColourRole::Chart) {
        palette.setColor(QPalette::Window, colours.background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

}  // namespace grainlink
