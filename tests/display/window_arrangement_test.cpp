#include "display/window_arrangement.h"

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

constexpr int D1 = DataWindowSlot(1), D2 = DataWindowSlot(2), D3 = DataWindowSlot(3);
constexpr int T1 = TableWindowSlot(1), T2 = TableWindowSlot(2), T3 = TableWindowSlot(3);
constexpr int T4 = TableWindowSlot(4);
constexpr Arrangement Grid = Arrangement::Grid, Cascade = Arrangement::Cascade;

// Both halves as the windows see them: sizing, the tables taking their new size, placing.
// Windows are Standard data windows, 6205 x 7000 twips, unless a case sizes them otherwise.
TEST(TileWindowsTest, PlacesTheVisibleWindows)
{
    const struct {
        const char* name;
        QSize screen;
        std::vector<int> visible;
        std::vector<std::pair<int, QSize>> sizes;
        Arrangement arrangement;
        std::vector<std::pair<int, QPoint>> corners;  // every visible window, none other
    } cases[] = {
        // clang-format off
        // Even wider than the screen: a window never leaves an empty row behind.
        {"one window", {3000, 3000}, {D3}, {}, Grid, {{D3, {0, 0}}}},
        {"two data windows", {12410, 9000}, {D1, D2}, {}, Grid, {{D1, {0, 0}}, {D2, {6205, 0}}}},
        // frm_data1 is hidden, yet its size makes the cells (5 x 2); a table that exactly fits
        // the rest of the row stays in it.
        {"three tables", {28800, 16200}, {T1, T2, T3}, {}, Grid,
         {{T1, {0, 0}}, {T2, {14400, 0}}, {T3, {0, 8100}}}},
        // Two cells for three windows; the table is still sized first.
        {"cascade", {12410, 9000}, {D2, T1, D1}, {}, Cascade,
         {{D1, {0, 0}}, {T1, {500, 500}}, {D2, {1000, 1000}}}},
        // Seven hidden windows would not fit two cells.
        {"hidden windows not counted", {12410, 9000}, {T4}, {}, Grid, {{T4, {0, 0}}}},
        // A new row is lower by the height of the window that starts it, not the row's.
        {"row wrap", {16000, 20000}, {D1, D2, D3}, {{D2, {10000, 5000}}, {D3, {5000, 3000}}}, Grid,
         {{D1, {0, 0}}, {D2, {0, 5000}}, {D3, {10000, 5000}}}},
        {"no cell size", {28800, 16200}, {D2, D3}, {{D1, {}}}, Cascade,
         {{D2, {0, 0}}, {D3, {500, 500}}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArrangedWindows windows;
        for (ArrangedWindow& window : windows) window.size = QSize(6205, 7000);
        for (const auto& [slot, size] : c.sizes) windows[slot].size = size;
        bool tableVisible = false;
        for (int slot : c.visible) {
            windows[slot].visible = true;
            tableVisible = tableVisible || IsTableSlot(slot);
        }
        const TileSizing sizing = PlanTileSizing(windows, c.screen);
        EXPECT_EQ(sizing.arrangement, c.arrangement);
        EXPECT_EQ(sizing.tableSize, tableVisible ? std::optional(c.screen / 2) : std::nullopt);
        for (int slot : c.visible)
            if (IsTableSlot(slot)) windows[slot].size = c.screen / 2;
        std::array<std::optional<QPoint>, kArrangedWindows> expected;
        for (const auto& [slot, corner] : c.corners) expected[slot] = corner;
        EXPECT_EQ(PlaceWindows(windows, sizing.arrangement, c.screen), expected);
    }
}

// Columns and rows are screen / cell rounded to the nearest integer, ties to the even one.
TEST(TileCellCountTest, ChoosesTheGridOnlyWhenTheWindowsFitTheCells)
{
    const struct {
        QSize screen;
        int visible;
        Arrangement expected;
    } cases[] = {
        // clang-format off
        {{2500, 1000}, 3, Cascade},  // 2.5 -> 2 columns
        {{3500, 1000}, 4, Grid},     // 3.5 -> 4 columns
        {{2501, 1000}, 3, Grid},     // just above the tie
        {{1000, 1499}, 2, Cascade},  // 1.499 -> 1 row
        {{2000, 2500}, 4, Grid},     // 2 x 2.5 -> 2 x 2
        {{2000, 2500}, 5, Cascade},
        {{400, 400}, 1, Grid},       // one window: always
        // clang-format on
    };
    for (const auto& c : cases) {
        ArrangedWindows windows;
        windows[D1].size = QSize(1000, 1000);
        for (int slot = 0; slot < c.visible; ++slot) windows[slot].visible = true;
        EXPECT_EQ(PlanTileSizing(windows, c.screen).arrangement, c.expected)
            << c.screen.width() << " x " << c.screen.height() << ", " << c.visible;
    }
}

}  // namespace
}  // namespace grainlink::test
