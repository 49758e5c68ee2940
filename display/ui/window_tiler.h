#pragma once

#include <array>

#include "display/window_arrangement.h"

class QScreen;
class QWidget;

namespace grainlink {

// The unit windows in the placement order (see window_arrangement.h); a null entry is a window
// that does not exist and counts as hidden.
using UnitWindowList = std::array<QWidget*, kArrangedWindows>;

// `TileWindows`: tiles or cascades the visible unit windows over the screen's available area,
// frames included, so that every window ends wholly inside it where it can. Visible windows
// return to the normal state, visible table windows take their planned size, pending events run
// so that they settle, and then every visible window is moved. Hidden windows, the main window
// and dialogs are not touched.
void TileWindows(const UnitWindowList& windows, const QScreen& screen);

}  // namespace grainlink
