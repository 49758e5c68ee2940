#include "display/window_arrangement.h"

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

using Corners = std::array<std::optional<QPoint>, kArrangedWindows>;

// A Standard data window: 6205 twips wide.
const QSize kDataWindow(6205, 7000);

ArrangedWindows WithVisible(std::initializer_list<int> shown) {
    ArrangedWindows windows;
    for (ArrangedWindow& window : windows) window.size = kDataWindow;
    for (int slot : shown) windows[slot].visible = true;
    return windows;
}

// Both halves as the windows see them: sizing, the tables taking their new size, placing.
struct Tiled {
    TileSizing sizing;
    ArrangedWindows sized;
    Corners corners;
};

Tiled Tile(ArrangedWindows windows, QSize screen) {
    Tiled tiled{PlanTileSizing(windows, screen), windows, {}};
    for (int slot = 0; slot < kArrangedWindows; ++slot)
        if (IsTableSlot(slot) && windows[slot].visible && tiled.sizing.tableSize)
            tiled.sized[slot].size = *tiled.sizing.tableSize;
    tiled.corners = PlaceWindows(tiled.sized, tiled.sizing.arrangement, screen);
    return tiled;
}

// The corners of the visible windows in the placement order.
std::vector<QPoint> Placed(const Corners& corners) {
    std::vector<QPoint> placed;
    for (const auto& corner : corners)
        if (corner) placed.push_back(*corner);
    return placed;
}

TEST(WindowArrangementTest, OneVisibleWindowGoesToTheCornerAndNothingElseMoves) {
    // Even wider than the screen: an empty row is never left behind.
    const Tiled tiled = Tile(WithVisible({DataWindowSlot(3)}), QSize(3000, 3000));
    EXPECT_EQ(tiled.sizing.arrangement, Arrangement::Grid);
    EXPECT_FALSE(tiled.sizing.tableSize);
    EXPECT_EQ(tiled.corners[DataWindowSlot(3)], QPoint(0, 0));
    EXPECT_EQ(Placed(tiled.corners).size(), 1u);
}

TEST(WindowArrangementTest, TwoStandardDataWindowsShareTheFirstRow) {
    const Tiled tiled =
        Tile(WithVisible({DataWindowSlot(1), DataWindowSlot(2)}), QSize(12410, 9000));
    EXPECT_EQ(tiled.sizing.arrangement, Arrangement::Grid);
    EXPECT_EQ(Placed(tiled.corners), (std::vector<QPoint>{{0, 0}, {6205, 0}}));
}

TEST(WindowArrangementTest, TablesTakeHalfTheScreenAndWrapOnlyWhenTheyDoNotFit) {
    // frm_data1 is hidden, yet its size makes the cells: 5 x 2 of them.
    const QSize screen(28800, 16200);
    const Tiled tiled =
        Tile(WithVisible({TableWindowSlot(1), TableWindowSlot(2), TableWindowSlot(3)}), screen);
    EXPECT_EQ(tiled.sizing.arrangement, Arrangement::Grid);
    EXPECT_EQ(tiled.sizing.tableSize, QSize(14400, 8100));
    EXPECT_EQ(Placed(tiled.corners), (std::vector<QPoint>{{0, 0}, {14400, 0}, {0, 8100}}));
}

TEST(WindowArrangementTest, MoreWindowsThanCellsCascadeInThePlacementOrder) {
    // 12410 x 9000 holds two cells; the table still becomes half the screen first.
    const Tiled tiled =
        Tile(WithVisible({DataWindowSlot(2), TableWindowSlot(1), DataWindowSlot(1)}),
             QSize(12410, 9000));
    EXPECT_EQ(tiled.sizing.arrangement, Arrangement::Cascade);
    EXPECT_EQ(tiled.sizing.tableSize, QSize(6205, 4500));
    EXPECT_EQ(tiled.corners[DataWindowSlot(1)], QPoint(0, 0));
    EXPECT_EQ(tiled.corners[TableWindowSlot(1)], QPoint(500, 500));
    EXPECT_EQ(tiled.corners[DataWindowSlot(2)], QPoint(1000, 1000));
}

TEST(WindowArrangementTest, HiddenWindowsAreNeitherCountedNorPlaced) {
    // Seven hidden windows would not fit two cells; the one visible window is placed alone.
    ArrangedWindows windows = WithVisible({TableWindowSlot(4)});
    const Tiled tiled = Tile(windows, QSize(12410, 9000));
    EXPECT_EQ(tiled.sizing.arrangement, Arrangement::Grid);
    EXPECT_EQ(tiled.corners[TableWindowSlot(4)], QPoint(0, 0));
    EXPECT_EQ(Placed(tiled.corners).size(), 1u);
}

TEST(WindowArrangementTest, AWindowWiderThanTheRestOfTheRowStartsANewRowLowerByItsHeight) {
    ArrangedWindows windows =
        WithVisible({DataWindowSlot(1), DataWindowSlot(2), DataWindowSlot(3)});
    windows[DataWindowSlot(2)].size = QSize(10000, 5000);
    windows[DataWindowSlot(3)].size = QSize(5000, 3000);
    const Corners corners = PlaceWindows(windows, Arrangement::Grid, QSize(16000, 20000));
    EXPECT_EQ(Placed(corners), (std::vector<QPoint>{{0, 0}, {0, 5000}, {10000, 5000}}));
}

TEST(WindowArrangementTest, WindowsWiderThanTheScreenEachTakeARow) {
    ArrangedWindows windows = WithVisible({DataWindowSlot(1), TableWindowSlot(1)});
    windows[DataWindowSlot(1)].size = QSize(20000, 7000);
    windows[TableWindowSlot(1)].size = QSize(20000, 4000);
    const Corners corners = PlaceWindows(windows, Arrangement::Grid, QSize(15000, 20000));
    EXPECT_EQ(Placed(corners), (std::vector<QPoint>{{0, 0}, {0, 4000}}));
}

// Columns and rows are screen / cell rounded to the nearest integer, ties to the even one.
struct CellCase {
    QSize screen;
    int visible;
    Arrangement expected;
};

class CellCountTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellCountTest, ChoosesGridOnlyWhenTheWindowsFitTheCells) {
    const CellCase& c = GetParam();
    ArrangedWindows windows;
    windows[DataWindowSlot(1)].size = QSize(1000, 1000);
    for (int slot = 0; slot < c.visible; ++slot) windows[slot].visible = true;
    EXPECT_EQ(PlanTileSizing(windows, c.screen).arrangement, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, CellCountTest,
    ::testing::Values(CellCase{{2500, 1000}, 3, Arrangement::Cascade},  // 2.5 -> 2 columns
                      CellCase{{3500, 1000}, 4, Arrangement::Grid},     // 3.5 -> 4 columns
                      CellCase{{2501, 1000}, 3, Arrangement::Grid},     // just above the tie
                      CellCase{{1000, 1499}, 2, Arrangement::Cascade},  // 1.499 -> 1 row
                      CellCase{{2000, 2500}, 4, Arrangement::Grid},     // 2 x 2.5 -> 2 x 2
                      CellCase{{2000, 2500}, 5, Arrangement::Cascade},
                      CellCase{{400, 400}, 1, Arrangement::Grid}));  // one window: always

TEST(WindowArrangementTest, AFrmData1WithoutASizeCascadesSeveralWindows) {
    ArrangedWindows windows = WithVisible({DataWindowSlot(2), DataWindowSlot(3)});
    windows[DataWindowSlot(1)].size = QSize();
    EXPECT_EQ(PlanTileSizing(windows, QSize(28800, 16200)).arrangement, Arrangement::Cascade);
}

}  // namespace
}  // namespace grainlink::test
