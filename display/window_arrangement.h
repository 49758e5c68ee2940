#pragma once

#include <QPoint>
#include <QSize>
#include <array>
#include <optional>

namespace grainlink {

// The unit windows in the order they are placed, each unit's data window followed by its table
// window: frm_data1, frm_table1, frm_data2, frm_table2, ... frm_table4.
inline constexpr int kArrangedWindows = 8;

constexpr int DataWindowSlot(int unit)
{
    return 2 * (unit - 1);
}
constexpr int TableWindowSlot(int unit)
{
    return 2 * (unit - 1) + 1;
}
constexpr bool IsTableSlot(int slot)
{
    return slot % 2 == 1;
}

// A unit window as the arrangement sees it: shown or not, its outer (framed) size in twips, and
// the least outer size it can be given; only table windows are ever resized.
struct ArrangedWindow {
    bool visible = false;
    QSize size;
    QSize minimumSize;
};
using ArrangedWindows = std::array<ArrangedWindow, kArrangedWindows>;
using WindowCorners = std::array<std::optional<QPoint>, kArrangedWindows>;

enum class Arrangement { Grid, Cascade };

// What happens before the windows are placed. Every visible window returns to the normal state
// (neither minimised nor maximised); when a table window is visible, every visible table window
// is also given tableSize.
struct TileSizing {
    Arrangement arrangement = Arrangement::Grid;
    std::optional<QSize> tableSize;
};

// Tiling in two halves, so that the windows can settle in between (a resized table window lays
// its grid and chart out again before it is placed). All sizes are in twips, and `area` is the
// part of the screen that windows may take.
//
// The tables are half the area wide and high, as long as the windows then fit the area in rows
// (see PlaceWindows). When they do not, the tables shrink (never below their minimum size) to
// the largest size with which the rows fit. Only when even that fails do the windows cascade,
// the tables keeping half the area. One window always counts as fitting.
TileSizing PlanTileSizing(const ArrangedWindows& windows, QSize area);

// The top-left corner of every visible window, sized as it is now, relative to the area's
// corner; nothing for hidden windows.
// The grid fills rows left to right in the placement order; a window that does not fit the rest
// of a row starts the next one, below the tallest window of the row before; a window wider than
// the area opens a row of its own.
// The cascade steps 500 twips right and down from the top-left corner, less where that is needed
// to keep the last windows inside the area.
WindowCorners PlaceWindows(const ArrangedWindows& windows, Arrangement arrangement, QSize area);

}  // namespace grainlink
