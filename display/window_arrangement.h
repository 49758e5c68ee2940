#pragma once

#include <QPoint>
#include <QSize>
#include <array>
#include <optional>

namespace grainlink {

// The unit windows in the order they are placed, each unit's data window followed by its table
// window: frm_data1, frm_table1, frm_data2, frm_table2, ... frm_table4.
inline constexpr int kArrangedWindows = 8;

constexpr int DataWindowSlot(int unit) { return 2 * (unit - 1); }
constexpr int TableWindowSlot(int unit) { return 2 * (unit - 1) + 1; }
constexpr bool IsTableSlot(int slot) { return slot % 2 == 1; }

// A unit window as the arrangement sees it: shown or not, and its outer size in twips.
struct ArrangedWindow {
    bool visible = false;
    QSize size;
};
using ArrangedWindows = std::array<ArrangedWindow, kArrangedWindows>;

enum class Arrangement { Grid, Cascade };

// What happens before the windows are placed. Every visible window returns to the normal state
// (neither minimised nor maximised); when a table window is visible, every visible table window
// is also given tableSize, half the screen each way.
struct TileSizing {
    Arrangement arrangement = Arrangement::Grid;
    std::optional<QSize> tableSize;
};

// Tiling in two halves, so that the windows can settle in between (a resized table window lays
// its grid and chart out again before it is placed). The screen size is in twips.
//
// The grid is chosen when at most one window is visible, or when the visible windows fit a grid
// of cells the size of frm_data1 (hidden or not), the number of columns and rows each rounded to
// the nearest integer with ties to even; otherwise the windows cascade. A frm_data1 without a
// size gives no cells, so several windows cascade.
TileSizing PlanTileSizing(const ArrangedWindows& windows, QSize screen);

// The top-left corner of every visible window, sized as it is now; nothing for hidden windows.
// The grid fills rows left to right in the placement order, a window that does not fit the rest
// of a row starting a new one (lower by that window's height, not the row's); a window wider than
// the screen opens a row of its own; rows may go below the screen.
// The cascade steps 500 twips right and down from the top-left corner.
std::array<std::optional<QPoint>, kArrangedWindows> PlaceWindows(const ArrangedWindows& windows,
                                                                 Arrangement arrangement,
                                                                 QSize screen);

}  // namespace grainlink
