#include "display/window_arrangement.h"

#include <algorithm>
#include <vector>

namespace grainlink {
namespace {

constexpr int kCascadeStep = 500;
// The tables shrink by this much at a time while looking for a size that fits: a pixel.
constexpr int kShrinkStep = 15;

struct Rows {
    WindowCorners corners;
    QSize extent;  // from the top-left corner to the furthest right and bottom edges
};

Rows PlaceInRows(const ArrangedWindows& windows, int areaWidth)
{
    Rows rows;
    QPoint next(0, 0);
    int rowHeight = 0;
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        const ArrangedWindow& window = windows[slot];
        if (!window.visible) continue;
        // A window too wide for any row still opens its own row rather than leave one empty.
        if (next.x() > 0 && areaWidth - next.x() < window.size.width()) {
            next = QPoint(0, next.y() + rowHeight);
            rowHeight = 0;
        }
        rows.corners[slot] = next;
        rows.extent = rows.extent.expandedTo(
            QSize(next.x() + window.size.width(), next.y() + window.size.height()));
        next.rx() += window.size.width();
        rowHeight = std::max(rowHeight, window.size.height());
    }
    return rows;
}

bool FitInRows(ArrangedWindows windows, std::optional<QSize> tableSize, QSize area)
{
    for (int slot = 0; slot < kArrangedWindows; ++slot)
        if (tableSize && IsTableSlot(slot)) windows[slot].size = *tableSize;
    const QSize extent = PlaceInRows(windows, area.width()).extent;
    return extent.width() <= area.width() && extent.height() <= area.height();
}

// The largest table size between `least` and `most`, by area, with which the windows fit in
// rows; none when even the least does not. For each width the height is found by halving: a
// lower table never makes a row taller.
std::optional<QSize> LargestFittingTableSize(const ArrangedWindows& windows, QSize least,
                                             QSize most, QSize area)
{
    std::optional<QSize> best;
    for (int width = most.width(); width >= least.width(); width -= kShrinkStep) {
        if (!FitInRows(windows, QSize(width, least.height()), area)) continue;
        int fits = least.height();
        int fails = most.height() + 1;
        while (fails - fits > 1) {
            const int height = fits + (fails - fits) / 2;
            (FitInRows(windows, QSize(width, height), area) ? fits : fails) = height;
        }
        const QSize size(width, fits);
        if (!best || qint64(width) * fits > qint64(best->width()) * best->height()) best = size;
    }
    return best;
}

// The largest step up to kCascadeStep with which the i-th window's far edge, i steps from the
// start, stays within `room`; `extents` are the visible windows' widths (or heights) in order.
int CascadeStep(const std::vector<int>& extents, int room)
{
    int step = kCascadeStep;
    for (int index = 1; index < int(extents.size()); ++index)
        step = std::min(step, (room - extents[index]) / index);
    return std::max(step, 0);
}

}  // namespace

TileSizing PlanTileSizing(const ArrangedWindows& windows, QSize area)
{
    int visible = 0;
    QSize tableMinimum;
    bool tableVisible = false;
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (!windows[slot].visible) continue;
        ++visible;
        if (!IsTableSlot(slot)) continue;
        tableVisible = true;
        tableMinimum = tableMinimum.expandedTo(windows[slot].minimumSize);
    }

    TileSizing sizing;
    if (!tableVisible) {
        if (visible > 1 && !FitInRows(windows, std::nullopt, area))
            sizing.arrangement = Arrangement::Cascade;
        return sizing;
    }
    const QSize half = (area / 2).expandedTo(tableMinimum);
    sizing.tableSize = half;
    if (visible == 1 || FitInRows(windows, half, area)) return sizing;
    if (const auto shrunk = LargestFittingTableSize(windows, tableMinimum, half, area)) {
        sizing.tableSize = shrunk;
        return sizing;
    }
    sizing.arrangement = Arrangement::Cascade;
    return sizing;
}

WindowCorners PlaceWindows(const ArrangedWindows& windows, Arrangement arrangement, QSize area)
{
    if (arrangement == Arrangement::Grid) return PlaceInRows(windows, area.width()).corners;

    std::vector<int> widths;
    std::vector<int> heights;
    for (const ArrangedWindow& window : windows) {
        if (!window.visible) continue;
        widths.push_back(window.size.width());
        heights.push_back(window.size.height());
    }
    const QPoint step(CascadeStep(widths, area.width()), CascadeStep(heights, area.height()));
    WindowCorners corners;
    QPoint next(0, 0);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (!windows[slot].visible) continue;
        corners[slot] = next;
        next += step;
    }
    return corners;
}

}  // namespace grainlink
