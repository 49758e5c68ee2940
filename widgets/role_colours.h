#pragma once

#include <QColor>
#include <QPalette>

namespace grainlink {

// Which colour a window draws its own texts, value boxes and chart in. The windows were designed
// for a light system palette, with fixed colours: blue frame captions and notes, black captions,
// values black on white, a white chart. On a dark palette the fixed text colours would stand on
// the dark window background unreadably, so there every role follows the palette instead, with
// a contrast of at least 4.5:1 for text and 3:1 for chart lines (WCAG 2). Under a light palette
// every role keeps its designed colour. Signal colours (the red and green alarm flags and status)
// are the item's own and never change; text on them is whichever of black and white reads best.
enum class ColourRole {
    Caption,   // black captions on the window background
    Emphasis,  // blue frame captions and notes on the window background
    Warning,   // red text on the window background
    Value,     // a value box or panel: black on white
    Chart,     // the chart's texts and background: black on white
};

struct RoleColours {
    QColor text;
    QColor background;
};

inline constexpr double kTextContrast = 4.5;
inline constexpr double kLineContrast = 3.0;

// WCAG 2 contrast ratio of two opaque colours: 1 (the same luminance) to 21 (black on white).
double ContrastRatio(const QColor& first, const QColor& second);
// A palette whose window background is darker than its text.
bool IsDark(const QPalette& palette);

// The role's text colour and the background it stands on, under `palette`.
RoleColours ColoursFor(ColourRole role, const QPalette& palette);
// The same under the application's palette, the system's unless a style changed it.
RoleColours ColoursFor(ColourRole role);

// Black or white, whichever contrasts more with a background of a fixed colour (an alarm flag, a
// note, the flow factor box being edited).
QColor TextOn(const QColor& background);
// A chart line's colour: the designed one, made lighter under a dark palette until the line
// stands out from the chart background.
QColor ChartLineColour(const QColor& designed, const QPalette& palette);

// Gives the widget's text (QPalette::WindowText) the colour of `role` under the application's
// palette; for the Value role it also fills the widget with the role's background.
void UseRole(QWidget* widget, ColourRole role);

}  // namespace grainlink
