#pragma once

#include <array>

#include "display/window_arrangement.h"

class QWidget;

namespace grainlink {

// The unit windows in the placement order (see window_arrangement.h); a null entry is a window
// that does not exist and counts as hidden.
using UnitWindowList = std::array<QWidget*, kArrangedWindows>;

// `TileWindows`: tiles or cascades the visible unit windows over the primary screen. Visible
// windows return to the normal state, visible table windows become half the screen wide and
// high, pending events run so that they settle, and then every visible window is moved. Hidden
// windows, the main window and dialogs are not touched. Sizes are outer (frame) sizes.
void TileWindows(const UnitWindowList& windows);

}  // namespace grainlink
