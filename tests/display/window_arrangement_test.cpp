#include "display/window_arrangement.h"

#include <QRect>

#include <gtest/gtest.h>

namespace grainlink::test {
namespace {

constexpr int D1 = DataWindowSlot(1), D2 = DataWindowSlot(2), D3 = DataWindowSlot(3);
constexpr int D4 = DataWindowSlot(4);
constexpr int T1 = TableWindowSlot(1), T2 = TableWindowSlot(2), T3 = TableWindowSlot(3);
constexpr int T4 = TableWindowSlot(4);
constexpr Arrangement Grid = Arrangement::Grid, Cascade = Arrangement::Cascade;
const std::vector<int> kAllEight{D1, T1, D2, T2, D3, T3, D4, T4};

// Screens in twips (15 per pixel), and a framed Standard data window, 416 x 467 pixels.
constexpr QSize k1280x800(19200, 12000), k1600x1000(24000, 15000), k1024x600(15360, 9000);
constexpr QSize kDataWindow(6240, 7005);

// Both halves as the windows see them: sizing, the tables taking their new size, placing. Table
// windows are never smaller than 6000 x 6000 twips; data windows keep their size. Whatever the
// arrangement, every window ends inside the area, and tiled windows never overlap.
TEST(TileWindowsTest, EveryWindowEndsInsideTheArea)
{
    const struct {
        const char* name;
        QSize area;
        std::vector<int> visible;
        QSize dataSize;
        std::vector<std::pair<int, QSize>> sizes;
        Arrangement arrangement;
        std::optional<QSize> tableSize;
        std::vector<std::pair<int, QPoint>> corners;  // when given: every visible window
    } cases[] = {
        // clang-format off
        // Even larger than the area: a window alone goes to the corner.
        {"one window", {3000, 3000}, {D3}, kDataWindow, {}, Grid, {}, {{D3, {0, 0}}}},
        {"two data windows", {12410, 9000}, {D1, D2}, {6205, 7000}, {}, Grid, {},
         {{D1, {0, 0}}, {D2, {6205, 0}}}},
        // A table that exactly fits the rest of the row stays in it.
        {"three tables", {28800, 16200}, {T1, T2, T3}, kDataWindow, {}, Grid, QSize(14400, 8100),
         {{T1, {0, 0}}, {T2, {14400, 0}}, {T3, {0, 8100}}}},
        // A new row starts below the tallest window of the row before.
        {"row wrap", {16000, 20000}, {D1, D2, D3}, {6205, 7000},
         {{D2, {10000, 5000}}, {D3, {5000, 3000}}}, Grid, {},
         {{D1, {0, 0}}, {D2, {0, 7000}}, {D3, {10000, 7000}}}},
        // Half-area tables make two rows of data windows too tall; narrower tables let three
        // windows share the first row, and lower ones let the second row fit.
        {"shrunk tables", {24000, 14000}, {D1, T1, D2, T2}, kDataWindow, {}, Grid,
         QSize(11520, 6995), {{D1, {0, 0}}, {T1, {6240, 0}}, {D2, {17760, 0}}, {T2, {0, 7005}}}},
        {"cascade", {12410, 9000}, {D2, T1, D1}, {6205, 7000}, {}, Cascade, QSize(6205, 6000),
         {{D1, {0, 0}}, {T1, {500, 500}}, {D2, {1000, 1000}}}},
        {"hidden windows not counted", {12410, 9000}, {T4}, kDataWindow, {}, Grid,
         QSize(6205, 6000), {{T4, {0, 0}}}},
        {"four tables, 1280 x 800", k1280x800, {T1, T2, T3, T4}, kDataWindow, {}, Grid,
         QSize(9600, 6000), {}},
        {"four data windows, 1600 x 1000", k1600x1000, {D1, D2, D3, D4}, kDataWindow, {}, Grid,
         {}, {{D1, {0, 0}}, {D2, {6240, 0}}, {D3, {12480, 0}}, {D4, {0, 7005}}}},
        {"four data windows, 1280 x 800", k1280x800, {D1, D2, D3, D4}, kDataWindow, {}, Cascade,
         {}, {}},
        {"eight windows, 1600 x 1000", k1600x1000, kAllEight, kDataWindow, {}, Cascade,
         QSize(12000, 7500), {}},
        {"eight windows, 1280 x 800", k1280x800, kAllEight, kDataWindow, {}, Cascade,
         QSize(9600, 6000), {}},
        // The cascade steps less than 500 twips down, so that the last data window fits.
        {"eight windows, 1024 x 600", k1024x600, kAllEight, kDataWindow, {}, Cascade,
         QSize(7680, 6000), {{D1, {0, 0}}, {T1, {500, 332}}, {D4, {3000, 1992}}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArrangedWindows windows;
        for (int slot = 0; slot < kArrangedWindows; ++slot) {
            windows[slot].size = IsTableSlot(slot) ? QSize(9690, 8000) : c.dataSize;
            windows[slot].minimumSize = IsTableSlot(slot) ? QSize(6000, 6000) : c.dataSize;
        }
        for (const auto& [slot, size] : c.sizes) windows[slot].size = size;
        for (int slot : c.visible) windows[slot].visible = true;

        const TileSizing sizing = PlanTileSizing(windows, c.area);
        EXPECT_EQ(sizing.arrangement, c.arrangement);
        EXPECT_EQ(sizing.tableSize, c.tableSize);
        for (int slot : c.visible)
            if (IsTableSlot(slot)) windows[slot].size = *sizing.tableSize;
        const WindowCorners corners = PlaceWindows(windows, sizing.arrangement, c.area);

        for (const auto& [slot, corner] : c.corners) EXPECT_EQ(corners[slot], corner) << slot;
        std::vector<QRect> placed;
        for (int slot = 0; slot < kArrangedWindows; ++slot) {
            ASSERT_EQ(corners[slot].has_value(), windows[slot].visible) << slot;
            if (!corners[slot]) continue;
            const QRect rect(*corners[slot], windows[slot].size);
            if (c.visible.size() > 1) {
                EXPECT_TRUE(QRect({}, c.area).contains(rect)) << slot;
            }
            if (sizing.arrangement == Grid) {
                for (const QRect& other : placed) EXPECT_FALSE(rect.intersects(other)) << slot;
            }
            placed.push_back(rect);
        }
    }
}

}  // namespace
}  // namespace grainlink::test
